"""A stand-in for the maker's web server on 127.0.0.1: it records each
request's method, path, headers and body and answers every POST with a
scripted reply, or never answers at all. The e2e tests point the
WebServer value at it."""
import http.server
import threading

from zvharness import wait_until


class ScriptedServer:
    def __init__(self, reply=b"", status=200, hang=False, announce_length=True):
        self.reply = reply
        self.status = status
        self.hang = hang
        # Without a length the reply ends only when the connection closes.
        self.announce_length = announce_length
        self.requests = []
        self._released = threading.Event()
        self._lock = threading.Lock()

    def __enter__(self):
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.0"

            def do_POST(self):
                length = int(self.headers.get("Content-Length", "0"))
                body = self.rfile.read(length)
                with server._lock:
                    server.requests.append({"method": "POST", "path": self.path,
                                            "headers": {k.lower(): v for k, v in self.headers.items()},
                                            "body": body})
                if server.hang:
                    server._released.wait(120)
                    return
                self.send_response(server.status)
                self.send_header("Content-Type", "text/html")
                if server.announce_length:
                    self.send_header("Content-Length", str(len(server.reply)))
                self.end_headers()
                try:
                    self.wfile.write(server.reply)
                except ConnectionError:
                    pass  # a client that stopped reading a flood

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self._released.set()
        self.httpd.shutdown()
        self.httpd.server_close()
        return False

    @property
    def address(self):
        """The WebServer value that reaches this server."""
        return "127.0.0.1:%d" % self.port

    def wait_for_request(self, timeout=30):
        def first():
            with self._lock:
                return self.requests[0] if self.requests else None
        return wait_until(first, timeout)
