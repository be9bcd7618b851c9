#include "ui/progress_dialog_win32.h"

#include "ui/hyperlink_win32.h"
#include "ui/object_dialog_win32.h"
#include "ui/resource_ids.h"

namespace {

const UINT_PTR kDotsTimer = 1;
const UINT kDotsPeriodMs = 250;
const int kMostDots = 7;

class ProgressDialog {
 public:
  ProgressDialog(HWND dialog, ProgressDialogSetup& setup) : dialog_(dialog), setup_(setup) {}
  ~ProgressDialog() { KillTimer(dialog_, kDotsTimer); }
  void Initialize();
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Tick();
  void Finished();
  void Command(WPARAM wParam);
  void Show(int id, bool show) { ShowWindow(GetDlgItem(dialog_, id), show ? SW_SHOW : SW_HIDE); }

  HWND dialog_;
  ProgressDialogSetup& setup_;
  int dots_ = 0;
  bool finished_ = false;
};

void ProgressDialog::Initialize() {
  setup_.job->Start(dialog_, setup_.notifyMessage);
  SetTimer(dialog_, kDotsTimer, kDotsPeriodMs, nullptr);
}

void ProgressDialog::Tick() {
  SetDlgItemTextA(dialog_, IDC_PROGRESS_STATUS, (std::string(setup_.statusText) + std::string(dots_, '.')).c_str());
  dots_ = dots_ == kMostDots ? 0 : dots_ + 1;
}

void ProgressDialog::Finished() {
  finished_ = true;
  KillTimer(dialog_, kDotsTimer);
  Show(IDCANCEL, false);
  Show(IDOK, true);
  Show(IDC_PROGRESS_MESSAGE, true);
  if (setup_.job->ShowsLink()) {
    MakeHyperlinkById(dialog_, IDC_PROGRESS_LINK, kHyperlinkColour);
    Show(IDC_PROGRESS_LINK, true);
    SetDlgItemTextA(dialog_, IDC_PROGRESS_LINK, setup_.job->Link().c_str());
  }
  SetDlgItemTextA(dialog_, IDC_PROGRESS_MESSAGE, setup_.job->Message().c_str());
}

void ProgressDialog::Command(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDC_PROGRESS_LINK:
      if (finished_ && setup_.job->ShowsLink()) {
        *setup_.linkFollowed = true;
        // Shown whatever it says, but opened only as a web address.
        OpenServerLink(setup_.job->Link().c_str());
      }
      break;
    case IDOK:
      if (finished_ && setup_.job->ShowsLink() && !*setup_.linkFollowed &&
          MessageBoxA(dialog_, "There is an update available.\n\nAre you sure you want to close this window?",
                      "Are you sure?", MB_ICONQUESTION | MB_YESNO) != IDYES)
        break;
      EndDialog(dialog_, 1);
      break;
    case IDCANCEL:
      // Esc or the close box once the answer is there: as Close.
      if (finished_) {
        Command(IDOK);
        break;
      }
      KillTimer(dialog_, kDotsTimer);
      SetDlgItemTextA(dialog_, IDC_PROGRESS_STATUS, "Cancelling...");
      UpdateWindow(GetDlgItem(dialog_, IDC_PROGRESS_STATUS));
      setup_.job->Stop();
      EndDialog(dialog_, 2);
      break;
    default:
      break;
  }
}

INT_PTR ProgressDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
  // The notification's number is the caller's choice, so it is no case label.
  if (message == setup_.notifyMessage) {
    Finished();
    return TRUE;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == kDotsTimer) Tick();
      return TRUE;
    case WM_COMMAND:
      Command(wParam);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunProgressDialog(HINSTANCE instance, int resourceId, HWND owner, ProgressDialogSetup& setup) {
  return RunObjectDialog<ProgressDialog>(instance, resourceId, owner, setup);
}
