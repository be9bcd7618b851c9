#include "net/http_request_win32.h"

#include <wininet.h>

#include "foundation/text_search.h"
#include "foundation/web_server.h"

namespace {

// The internet handles of one exchange, released when it is over.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_ != nullptr) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

// A server that accepts the connection and then says nothing must not hold
// the worker for ever. Set on the session for what is made from it, and on
// the request itself.
void SetTimeouts(HINTERNET handle) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD timeout = kHttpTimeoutMs;
    InternetSetOptionA(handle, option, &timeout, sizeof timeout);
  }
}

}  // namespace

const char* CHTTPRequest::Fail() {
  error = GetLastError();
  failure = HttpFailure::Network;
  return nullptr;
}

// Only 200 carries an answer; an announced length beyond the limit is
// refused before anything is read.
bool CHTTPRequest::StatusAccepted(void* request) {
  DWORD size = sizeof httpStatus;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &httpStatus, &size, nullptr) ||
      httpStatus != HTTP_STATUS_OK) {
    failure = HttpFailure::Status;
    return false;
  }
  DWORD length = 0;
  size = sizeof length;
  if (HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr) &&
      length > kMaxReplyBytes) {
    failure = HttpFailure::TooLarge;
    return false;
  }
  return true;
}

const char* CHTTPRequest::Post(const char* server, const char* path, const char* verb, const char* body,
                               size_t bodyLength, const char* userName, const char* agent, const char* headers,
                               const char* httpVersion) {
  error = 0;
  stage = 0;
  failure = HttpFailure::Network;
  httpStatus = 0;
  response.clear();
  if (server == nullptr || path == nullptr || verb == nullptr || body == nullptr) return nullptr;
  if (InternetAttemptConnect(0) != ERROR_SUCCESS) return nullptr;
  stage = 1;

  std::string url = server;
  if (ContainsNoCase(url, "http://") == std::string::npos) url = "http://" + url;
  url += path;
  if (!InternetCheckConnectionA(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0)) return Fail();
  stage = 2;

  InternetHandle session(InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return Fail();
  SetTimeouts(session.get());
  stage = 3;
  const WebServerAddress address = SplitWebServer(server);
  InternetHandle connection(InternetConnectA(session.get(), address.host.c_str(), address.port, userName,
                                             nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return Fail();
  stage = 4;
  const char* accepted[] = {"*/*", nullptr};
  InternetHandle request(HttpOpenRequestA(connection.get(), verb, path, httpVersion, nullptr, accepted,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request) return Fail();
  SetTimeouts(request.get());
  stage = 5;
  if (!HttpSendRequestA(request.get(), headers, headers != nullptr ? static_cast<DWORD>(strlen(headers)) : 0,
                        const_cast<char*>(body), static_cast<DWORD>(bodyLength)))
    return Fail();
  stage = 6;
  if (!StatusAccepted(request.get())) return nullptr;

  // Read in blocks of a fixed size, whatever the server says is available.
  char block[4096];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request.get(), block, sizeof block, &read)) return Fail();
    stage = 8;
    if (read == 0) break;
    if (response.size() + read > kMaxReplyBytes) {
      response.clear();
      failure = HttpFailure::TooLarge;
      return nullptr;
    }
    response.append(block, read);
  }
  stage = 11;
  failure = HttpFailure::None;
  return response.c_str();
}
