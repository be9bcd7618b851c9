#include "net/update_check_win32.h"

#include "net/http_request_win32.h"
#include "net/update_reply.h"

const char kUpdatePath[] = "/updates/orbex1_update.php";

void CCheckForUpdateThread::StartQuery(const std::string& server_, const std::string& path_,
                                       const std::string& version_, const std::string& name, HWND window,
                                       UINT message_) {
  failed = false;
  updateFound = false;
  stopTimeoutMs = kCancelWaitMs;
  server = server_;
  path = path_;
  version = version_;
  appName = name + " " + version_;
  notifyWindow = window;
  notifyMessage = message_;
  if (!Start()) return;
  SetPriority(kThreadPriorityNormal);
  Resume();
}

int CCheckForUpdateThread::Run() {
  int result = 1;
  try {
    const std::string body = UpdateRequestBody(version);
    CHTTPRequest request;
    const char* reply = request.Post(server.c_str(), path.c_str(), "POST", body.data(), body.size());
    if (reply != nullptr) {
      response = reply;
      const UpdateAnswer answer = InterpretUpdateReply(response);
      updateFound = answer.updateFound;
      message = answer.message;
      link = answer.link;
      result = 0;
    } else {
      message = UpdateFailureMessage(request.failure, request.GetError(), request.httpStatus);
    }
  } catch (...) {  // memory ran out: nothing may leave the thread
    message = UpdateFailureMessage(0);
    updateFound = false;
    result = 1;
  }
  failed = result != 0;
  running = false;
  // Posted, not sent: a Cancel waiting for this thread must not wait on it.
  PostMessageA(notifyWindow, notifyMessage, 0, 0);
  return result;
}
