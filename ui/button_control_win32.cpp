#include "ui/button_control_win32.h"

#include "ui/subclass_win32.h"

LRESULT CALLBACK CButtonControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CButtonControl* button = WindowObject<CButtonControl>(window);
  if (button == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return button->WndProc(window, message, wParam, lParam);
}

LRESULT CButtonControl::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CursorWindowProc(previousProc_, cursor_, window, message, wParam, lParam);
}

void CButtonControl::Attach(HDC normalImage, HDC pressedImage, int width, int height, HWND window,
                            HCURSOR cursor) {
  Detach();
  if (window == nullptr) return;
  normalImage_ = normalImage;
  pressedImage_ = pressedImage;
  width_ = width;
  height_ = height;
  window_ = window;
  if (cursor != nullptr) cursor_ = cursor;
  windowDC_ = GetWindowDC(window);
  previousProc_ = SubclassWindow(window, this, Procedure);
}

void CButtonControl::Draw(const DRAWITEMSTRUCT* record) const {
  if (record == nullptr) return;
  HDC image = (record->itemState & ODS_SELECTED) != 0 ? pressedImage_ : normalImage_;
  BitBlt(record->hDC, 0, 0, width_, height_, image, 0, 0, SRCCOPY);
}

void CButtonControl::Detach() {
  if (window_ == nullptr) return;
  RestoreWindow(window_, previousProc_);
  if (windowDC_ != nullptr) ReleaseDC(window_, windowDC_);
  windowDC_ = nullptr;
  previousProc_ = nullptr;
  window_ = nullptr;
}
