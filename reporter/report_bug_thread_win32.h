// The error reporter's worker: reads the saver's log and crash dump, posts
// them with the user's comment to the maker's server and tells the
// progress dialog by posting it `notifyMessage` as its last act.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "foundation/thread.h"

const UINT kReportNotifyMessage = WM_APP + 3;  // 32771
extern const char kReportPath[];              // "/bugs/orbex1_bug.php"
extern const char kReportVersion[];           // "1.05"

class CReportBugThread : public cThread {
 public:
  int Run() override;

  void StartReport(const std::string& logPath, const std::string& dumpPath, const std::string& comments,
                   HWND notifyWindow);

  std::string server;
  std::string path;
  std::string version;
  std::string appName;
  std::string logPath;
  bool hasLog = false;  // the log could be read
  std::string logData;
  std::string dumpPath;
  bool hasDump = false;  // the dump's text could be read back
  std::string dumpData;
  std::string comments;
  std::string response;
  std::string message;
  std::string link;
  HWND notifyWindow = nullptr;
  UINT notifyMessage = kReportNotifyMessage;
  bool failed = false;
  int status = 1;

  // True once the server took the report (any answer of status 200). Read
  // while a worker Cancel gave up on may still run.
  bool IsSent() const { return sent; }

 private:
  std::atomic<bool> sent{false};
};

// The program's one report. Never destroyed: a worker the user gave up on
// may still be using it when the program ends.
CReportBugThread& TheReport();
