#include "ui/subclass_win32.h"

WNDPROC SubclassWindow(HWND window, void* object, WNDPROC procedure) {
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void RestoreWindow(HWND window, WNDPROC previous, LONG_PTR userData) {
  if (window == nullptr || !IsWindow(window)) return;
  if (previous != nullptr) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  SetWindowLongPtrA(window, GWLP_USERDATA, userData);
}

LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return previous != nullptr ? CallWindowProcA(previous, window, message, wParam, lParam) : 0;
}

LRESULT CursorWindowProc(WNDPROC previous, HCURSOR cursor, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
  if (message == WM_SETCURSOR && cursor != nullptr) {
    SetCursor(cursor);
    return TRUE;
  }
  return CallPrevious(previous, window, message, wParam, lParam);
}
