// The worker that asks the maker's server whether a newer version exists.
// It posts the version, reads the answer and tells the dialog by sending
// it `notifyMessage` as its last act; the dialog reads the results only
// after that.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/thread.h"

const UINT kUpdateNotifyMessage = WM_APP + 1;  // 32769
extern const char kUpdatePath[];              // "/updates/orbex1_update.php"

class CCheckForUpdateThread : public cThread {
 public:
  ~CCheckForUpdateThread() override { Stop(); }
  int Run() override;

  void StartQuery(const std::string& server, const std::string& path, const std::string& version,
                  const std::string& name, HWND notifyWindow, UINT notifyMessage);

  std::string server;
  std::string path;
  std::string version;
  std::string appName;
  HWND notifyWindow = nullptr;
  UINT notifyMessage = WM_USER;
  bool failed = false;
  bool updateFound = false;
  std::string response;
  std::string message;
  std::string link;
};
