// The small dialog both programs show while a worker talks to the maker's
// server: a status text with growing dots, then the server's message and,
// when it points somewhere, its link. Close asks before leaving a link
// unfollowed; Cancel stops the worker (waiting at most its time limit).
// The update check and the error report differ only in their job.
#pragma once

#include <windows.h>

#include <string>

class ProgressJob {
 public:
  virtual ~ProgressJob() = default;
  // Starts the worker, which sends `notifyMessage` to `dialog` when done.
  virtual void Start(HWND dialog, UINT notifyMessage) = 0;
  // Stops the worker, giving up after its time limit.
  virtual void Stop() = 0;
  // Read after the notification only.
  virtual std::string Message() const = 0;
  virtual std::string Link() const = 0;
  virtual bool ShowsLink() const = 0;
};

struct ProgressDialogSetup {
  const char* statusText;  // "Looking for updates": dots are added to it
  UINT notifyMessage;
  ProgressJob* job;
  // Whether the link was followed; the owner decides how long that lasts.
  bool* linkFollowed;
};

// Runs the dialog `resourceId` modally (controls IDC_PROGRESS_*, Close 1,
// Cancel 2).
INT_PTR RunProgressDialog(HINSTANCE instance, int resourceId, HWND owner, ProgressDialogSetup& setup);
