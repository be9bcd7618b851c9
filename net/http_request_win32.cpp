#include "net/http_request_win32.h"

#include <wininet.h>

#include <vector>

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

}  // namespace

const char* CHTTPRequest::Fail() {
  error = GetLastError();
  return nullptr;
}

const char* CHTTPRequest::Post(const char* server, const char* path, const char* verb, const char* body,
                               size_t bodyLength, const char* userName, const char* agent, const char* headers,
                               const char* httpVersion) {
  error = 0;
  stage = 0;
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
  stage = 5;
  if (!HttpSendRequestA(request.get(), headers, headers != nullptr ? static_cast<DWORD>(strlen(headers)) : 0,
                        const_cast<char*>(body), static_cast<DWORD>(bodyLength)))
    return Fail();
  stage = 6;

  DWORD available = 0;
  if (!InternetQueryDataAvailable(request.get(), &available, 0, 0)) return Fail();
  stage = 7;
  std::vector<char> block(available + 1);
  DWORD read = 0;
  if (!InternetReadFile(request.get(), block.data(), available, &read)) return Fail();
  response.assign(block.data(), read);
  stage = 8;
  while (read > 0) {
    if (!InternetQueryDataAvailable(request.get(), &available, 0, 0)) {
      error = GetLastError();
      break;
    }
    stage = 9;
    if (available == 0) break;
    block.resize(available + 1);
    if (!InternetReadFile(request.get(), block.data(), available, &read)) {
      error = GetLastError();
      break;
    }
    response.append(block.data(), read);
  }
  stage = error == 0 ? 11 : 10;
  return response.c_str();
}
