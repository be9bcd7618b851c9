// The skinned push button: an owner-drawn BUTTON window that shows one of
// two pictures (the dialogs pass the same skin cut for both) and its own
// cursor. The control only draws and sets the cursor; clicks stay the
// button's, so the dialog gets its WM_COMMAND as from any button.
#pragma once

#include <windows.h>

class CButtonControl final {
 public:
  CButtonControl() = default;
  ~CButtonControl() { Detach(); }
  CButtonControl(const CButtonControl&) = delete;
  CButtonControl& operator=(const CButtonControl&) = delete;

  // The only virtual operation: WM_SETCURSOR shows the cursor when there is
  // one, everything else goes to the button's previous procedure.
  virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Keeps the pictures (the dialog's, deleted by it), their size and the
  // cursor (only when one is given; null keeps the default handling),
  // takes the window DC and subclasses the window. Attaching again first
  // lets go of the previous window.
  void Attach(HDC normalImage, HDC pressedImage, int width, int height, HWND window, HCURSOR cursor);
  // width x height at (0, 0) of the record's DC: the pressed picture while
  // the item state has ODS_SELECTED, else the normal one.
  void Draw(const DRAWITEMSTRUCT* record) const;
  // Restores the window procedure, clears the user data, releases the
  // window DC.
  void Detach();

  HWND GetWindow() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC previousProc_ = nullptr;
  HCURSOR cursor_ = nullptr;
  HWND window_ = nullptr;
  HDC normalImage_ = nullptr;
  HDC pressedImage_ = nullptr;
  HDC windowDC_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
