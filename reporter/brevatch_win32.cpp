#include "reporter/brevatch_win32.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "foundation/product.h"
#include "foundation/registry_helpers.h"
#include "foundation/registry_store_win32.h"
#include "foundation/saver_settings.h"
#include "net/report_reply.h"
#include "reporter/report_bug_thread_win32.h"
#include "reporter/reporter_ids.h"
#include "ui/progress_dialog_win32.h"

namespace {

HINSTANCE instance = nullptr;
HWND mainWindow = nullptr;
std::string logPath;
std::string dumpPath;
std::string comments;
bool linkFollowed = false;

class ReportJob : public ProgressJob {
 public:
  void Start(HWND dialog, UINT) override { TheReport().StartReport(logPath, dumpPath, comments, dialog); }
  void Stop() override { TheReport().Stop(); }
  std::string Message() const override { return TheReport().message; }
  std::string Link() const override { return TheReport().link; }
  bool ShowsLink() const override { return ReportShowsLink(TheReport().status); }
};

// "Do not ask again" also turns off the saver's own setting: the saver
// decides by ShowBugReport whether to start the reporter at all.
void StoreAnswer(HWND dialog) {
  const bool never = IsDlgButtonChecked(dialog, IDC_DONT_ASK_AGAIN) == BST_CHECKED;
  RegistryStore registry;
  SetDwordValue(registry, Hive_CurrentUser, kProductKey, "ShowErrorReport", never ? 0 : 1);
  if (never) SetDwordValue(registry, Hive_CurrentUser, kProductKey, "ShowBugReport", 0);
}

INT_PTR CALLBACK CommentsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    HWND edit = GetDlgItem(dialog, IDC_REPORT_COMMENTS);
    std::vector<char> text(GetWindowTextLengthA(edit) + 1);
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    comments = text.data();
    EndDialog(dialog, 1);
    return TRUE;
  }
  // Send Report is the only way out.
  return message == WM_COMMAND;
}

void SendReport() {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REPORT_COMMENTS), mainWindow, CommentsProc, 0);
  ReportJob job;
  ProgressDialogSetup setup{"Sending error report", kReportNotifyMessage, &job, &linkFollowed};
  RunProgressDialog(instance, IDD_ERROR_REPORT, mainWindow, setup);
}

INT_PTR CALLBACK AbnormalTerminationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dialog, IDC_ERROR_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32513))), 0);  // IDI_ERROR
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        StoreAnswer(dialog);
        SendReport();
        // Kept for another try when it could not be sent.
        if (TheReport().IsSent()) DeleteFileA(logPath.c_str());
        DestroyWindow(mainWindow);
        EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        StoreAnswer(dialog);
        DeleteFileA(logPath.c_str());  // declined
        DestroyWindow(mainWindow);
        EndDialog(dialog, 2);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::string DataFolder() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::string(appData) + kDataFolderTail;
}

}  // namespace

int BrevatchMain(HINSTANCE programInstance) {
  instance = programInstance;
  char className[100] = {}, title[100] = {};
  LoadStringA(instance, IDS_REPORTER_CLASS, className, sizeof className);
  LoadStringA(instance, IDS_REPORTER_TITLE, title, sizeof title);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
  mainWindow = CreateWindowA(className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                             nullptr, instance, nullptr);
  if (mainWindow == nullptr) return 0;
  InitCommonControls();
  const std::string folder = DataFolder();
  logPath = folder + kCrashLogFileName;
  dumpPath = folder + "zv_minidump.dmp";

  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABNORMAL_TERMINATION), mainWindow, AbnormalTerminationProc, 0);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
