// The one way both programs talk to the maker's web server: an HTTP/1.0
// POST of a form body, reading back the whole response as text. It blocks
// the calling (worker) thread until the exchange is over, at most
// kHttpTimeoutMs for each of connecting, sending and receiving; `stage`,
// `error`, `failure` and `httpStatus` tell how far it got.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "net/http_failure.h"

class CHTTPRequest {
 public:
  // The response text (owned, valid until the next Post), or null when the
  // exchange failed, the status was not 200 or the reply was larger than
  // kMaxReplyBytes (nothing is allocated for such a reply). `server` is
  // "host" or "host:port" (port 80 when absent).
  const char* Post(const char* server, const char* path, const char* verb, const char* body, size_t bodyLength,
                   const char* userName = "Guest", const char* agent = "CHTTPRequest Client",
                   const char* headers = "Content-Type: application/x-www-form-urlencoded",
                   const char* httpVersion = "HTTP/1.0");

  DWORD GetError() const { return error; }
  int GetStage() const { return stage; }

  DWORD error = 0;
  std::string response;
  int stage = 0;
  HttpFailure failure = HttpFailure::None;
  DWORD httpStatus = 0;

 private:
  const char* Fail();
  bool StatusAccepted(void* request);
  void ReadResponse(void* request);
};
