#include "net/update_check_win32.h"

#include "net/http_request_win32.h"
#include "net/update_reply.h"

const char kUpdatePath[] = "/updates/orbex1_update.php";

void CCheckForUpdateThread::StartQuery(const std::string& server_, const std::string& path_,
                                       const std::string& version_, const std::string& name, HWND window,
                                       UINT message_) {
  failed = false;
  updateFound = false;
  stopTimeoutMs = 5000;
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
  const std::string body = UpdateRequestBody(version);
  CHTTPRequest request;
  const char* reply = request.Post(server.c_str(), path.c_str(), "POST", body.data(), body.size());
  int result = 0;
  if (reply != nullptr) {
    response = reply;
    const UpdateAnswer answer = InterpretUpdateReply(response);
    updateFound = answer.updateFound;
    message = answer.message;
    link = answer.link;
  } else {
    message = UpdateFailureMessage(request.GetError());
    failed = true;
    result = 1;
  }
  running = false;
  SendMessageA(notifyWindow, notifyMessage, 0, 0);
  return result;
}
