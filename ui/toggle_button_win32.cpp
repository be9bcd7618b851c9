#include "ui/toggle_button_win32.h"

#include "ui/subclass_win32.h"

LRESULT CALLBACK CToggleButton::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CToggleButton* toggle = WindowObject<CToggleButton>(window);
  if (toggle == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return toggle->WndProc(window, message, wParam, lParam);
}

LRESULT CToggleButton::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CursorWindowProc(previousProc_, cursor_, window, message, wParam, lParam);
}

void CToggleButton::Attach(HWND window, HWND parent, int imageWidth, int imageHeight, HCURSOR cursor) {
  Detach();
  if (window == nullptr) return;
  window_ = window;
  if (cursor != nullptr) cursor_ = cursor;
  GetClientRect(window, &client_);
  RECT own = {};
  RECT parentRect = {};
  GetWindowRect(window, &own);
  GetWindowRect(parent, &parentRect);
  offset_ = {own.left - parentRect.left, own.top - parentRect.top, own.right - parentRect.right,
             own.bottom - parentRect.bottom};
  imageWidth_ = imageWidth;
  imageHeight_ = imageHeight;
  imageX_ = client_.right - imageWidth;
  imageY_ = (client_.bottom - client_.top) / 2 - imageHeight / 2;

  windowDC_ = GetWindowDC(window);
  buffer_ = CreateCompatibleDC(windowDC_);
  bufferBitmap_ = CreateCompatibleBitmap(windowDC_, client_.right, client_.bottom);
  if (buffer_ != nullptr && bufferBitmap_ != nullptr) bufferOriginal_ = SelectObject(buffer_, bufferBitmap_);
  previousProc_ = SubclassWindow(window, this, Procedure);
}

void CToggleButton::Detach() {
  if (window_ == nullptr) return;
  RestoreWindow(window_, previousProc_);
  if (windowDC_ != nullptr) ReleaseDC(window_, windowDC_);
  if (buffer_ != nullptr) {
    if (bufferOriginal_ != nullptr) SelectObject(buffer_, bufferOriginal_);
    DeleteDC(buffer_);
  }
  if (bufferBitmap_ != nullptr) DeleteObject(bufferBitmap_);
  buffer_ = nullptr;
  bufferBitmap_ = nullptr;
  bufferOriginal_ = nullptr;
  windowDC_ = nullptr;
  previousProc_ = nullptr;
  window_ = nullptr;
}

void CToggleButton::Draw(HDC image, HDC mask, HDC skin, const DRAWITEMSTRUCT* record) {
  if (buffer_ == nullptr || record == nullptr) return;
  BitBlt(buffer_, 0, 0, client_.right, client_.bottom, skin, offset_.left, offset_.top, SRCCOPY);
  SetBkColor(buffer_, RGB(255, 255, 255));
  SetTextColor(buffer_, RGB(0, 0, 0));
  BitBlt(buffer_, imageX_, imageY_, imageWidth_, imageHeight_, image, 0, 0, SRCINVERT);
  BitBlt(buffer_, imageX_, imageY_, imageWidth_, imageHeight_, mask, 0, 0, SRCAND);
  BitBlt(buffer_, imageX_, imageY_, imageWidth_, imageHeight_, image, 0, 0, SRCINVERT);
  BitBlt(record->hDC, 0, 0, client_.right, client_.bottom, buffer_, 0, 0, SRCCOPY);
}

CToggleButton* CToggleSet::Add(int id, int imageWidth, int imageHeight, HWND control, HWND parent,
                               HCURSOR cursor) {
  auto* toggle = new CToggleButton(id);
  toggle->Attach(control, parent, imageWidth, imageHeight, cursor);
  toggles_.Append(toggle);
  return toggle;
}

void CToggleSet::SetImages(HDC checkedImage, HDC uncheckedImage, HDC checkedMask, HDC uncheckedMask) {
  checkedImage_ = checkedImage;
  uncheckedImage_ = uncheckedImage;
  checkedMask_ = checkedMask;
  uncheckedMask_ = uncheckedMask;
}

CToggleButton* CToggleSet::Find(int id) {
  for (bool more = toggles_.First(); more; more = toggles_.Next()) {
    if (toggles_.Current()->GetId() == id) return toggles_.Current();
  }
  return nullptr;
}

void CToggleSet::SetChecked(int id, bool checked) {
  if (CToggleButton* toggle = Find(id)) toggle->SetChecked(checked);
}

void CToggleSet::Toggle(int id) {
  if (CToggleButton* toggle = Find(id)) toggle->SetChecked(!toggle->IsChecked());
}

bool CToggleSet::IsChecked(int id) {
  CToggleButton* toggle = Find(id);
  return toggle != nullptr && toggle->IsChecked();
}

bool CToggleSet::DrawItem(int id, HDC skin, const DRAWITEMSTRUCT* record) {
  CToggleButton* toggle = Find(id);
  if (toggle == nullptr || record == nullptr) return false;
  HDC image = toggle->IsChecked() ? checkedImage_ : uncheckedImage_;
  HDC mask = toggle->IsChecked() ? checkedMask_ : uncheckedMask_;
  // Only the press flips: Wine redraws a button that is still held down
  // (when a message box takes the focus, say), which must not flip it back.
  const bool pressed = (record->itemState & ODS_SELECTED) != 0;
  if (pressed && !toggle->IsPressed()) toggle->SetChecked(!toggle->IsChecked());
  toggle->SetPressed(pressed);
  toggle->Draw(image, mask, skin, record);
  return true;
}

void CToggleSet::Clear() {
  for (bool more = toggles_.First(); more; more = toggles_.Next()) delete toggles_.Current();
  toggles_.Clear();
}
