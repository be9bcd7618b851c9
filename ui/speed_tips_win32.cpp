#include "ui/speed_tips_win32.h"

#include "foundation/saver_settings.h"
#include "ui/resource_ids.h"

namespace {

INT_PTR CALLBACK SpeedTipsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        auto* settings = reinterpret_cast<SaverSettings*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        settings->ShowSpeedTip = 0;
        settings->Save();
        EndDialog(dialog, 2);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunSpeedTips(HWND owner, SaverSettings& settings) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SPEED_TIPS), owner, SpeedTipsProc,
                         reinterpret_cast<LPARAM>(&settings));
}
