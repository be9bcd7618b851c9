#include "reporter/report_bug_thread_win32.h"

#include "foundation/product.h"
#include "foundation/registry_store_win32.h"
#include "foundation/web_server.h"
#include "net/base64_file.h"
#include "net/http_request_win32.h"
#include "net/report_reply.h"

const char kReportPath[] = "/bugs/orbex1_bug.php";
const char kReportVersion[] = "1.05";

CReportBugThread& TheReport() {
  static CReportBugThread* report = new CReportBugThread;
  return *report;
}

void CReportBugThread::StartReport(const std::string& logPath_, const std::string& dumpPath_,
                                   const std::string& comments_, HWND window) {
  logData.clear();
  dumpData.clear();
  failed = false;
  sent = false;
  status = 1;
  stopTimeoutMs = kCancelWaitMs;
  RegistryStore registry;
  server = ReadWebServer(registry);
  path = kReportPath;
  version = kReportVersion;
  appName = std::string(kProductName) + " " + version;
  comments = comments_;
  notifyWindow = window;
  notifyMessage = kReportNotifyMessage;
  logPath = logPath_;
  dumpPath = dumpPath_;
  hasLog = ReadReportLog(logPath, logData);
  hasDump = EncodeFileBase64(dumpPath, dumpData);
  if (!Start()) return;
  SetPriority(kThreadPriorityNormal);
  Resume();
}

int CReportBugThread::Run() {
  int result = 1;
  try {
    const std::string body =
        ReportFormBody(appName, version, comments, hasLog ? &logData : nullptr, hasDump ? &dumpData : nullptr);
    CHTTPRequest request;
    const char* reply = request.Post(server.c_str(), path.c_str(), "POST", body.data(), body.size());
    if (reply != nullptr) {
      response = reply;
      ReportAnswer answer;
      InterpretReportReply(response, answer);
      status = answer.status;
      message = answer.message;
      link = answer.link;
      result = 0;
      sent = true;
    } else {
      message = ReportFailureMessage(request.failure, request.httpStatus);
    }
  } catch (...) {  // memory ran out: nothing may leave the thread
    message = kReportNotSent;
    link.clear();
    result = 1;
  }
  failed = result != 0;
  running = false;
  // Posted, not sent: a Cancel waiting for this thread must not wait on it.
  PostMessageA(notifyWindow, notifyMessage, 0, 0);
  return result;
}
