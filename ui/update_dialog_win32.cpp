#include "ui/update_dialog_win32.h"

#include "foundation/product.h"
#include "net/update_check_win32.h"
#include "ui/progress_dialog_win32.h"
#include "ui/resource_ids.h"

namespace {

// Once followed, the link needs no question for the rest of the run.
bool linkFollowed = false;

class UpdateJob : public ProgressJob {
 public:
  explicit UpdateJob(const std::string& server) : server_(server) {}
  ~UpdateJob() override {
    // A worker Cancel gave up on still uses its object: that one is left
    // to the end of the process.
    if (thread_ != nullptr && !thread_->abandoned) delete thread_;
  }
  void Start(HWND dialog, UINT notifyMessage) override {
    thread_ = new CCheckForUpdateThread;
    thread_->StartQuery(server_, kUpdatePath, kVersionNumber, kProductName, dialog, notifyMessage);
  }
  void Stop() override { thread_->Stop(); }
  std::string Message() const override { return thread_->message; }
  std::string Link() const override { return thread_->link; }
  bool ShowsLink() const override { return thread_->updateFound; }

 private:
  std::string server_;
  CCheckForUpdateThread* thread_ = nullptr;
};

}  // namespace

INT_PTR RunUpdateDialog(HWND owner, const std::string& webServer) {
  UpdateJob job(webServer);
  ProgressDialogSetup setup{"Looking for updates", kUpdateNotifyMessage, &job, &linkFollowed};
  return RunProgressDialog(GetModuleHandleA(nullptr), IDD_UPDATE, owner, setup);
}
