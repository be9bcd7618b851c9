// Subclassing as every skinned control does it: the control object in the
// window's GWLP_USERDATA, the control's procedure in GWLP_WNDPROC, the
// previous procedure kept so every message the control does not swallow
// still reaches the window's own handling, and restored on detach.
#pragma once

#include <windows.h>

// Stores `object` in the window's user data, then puts `procedure` in place
// (in that order, so the first message already finds the object). Returns
// the previous procedure.
WNDPROC SubclassWindow(HWND window, void* object, WNDPROC procedure);
// Puts `previous` back and sets the user data to `userData`. Nothing happens
// to a window that no longer exists.
void RestoreWindow(HWND window, WNDPROC previous, LONG_PTR userData = 0);

template <typename T>
T* WindowObject(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The previous procedure's answer, 0 when there is none.
LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The push button's and the toggle's procedure: a control with a cursor
// shows it on WM_SETCURSOR; everything else goes to the previous procedure.
LRESULT CursorWindowProc(WNDPROC previous, HCURSOR cursor, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam);
