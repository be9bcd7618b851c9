#include "ui/credit_scroller_win32.h"

namespace {

const COLORREF kTextColour = 0xF8A8A0;

class GdiCanvas : public CreditCanvas {
 public:
  GdiCanvas(HDC dc, int width) : dc_(dc), width_(width) {}
  void Star(int x, int y, uint32_t colour) override { SetPixel(dc_, x, y, colour); }
  void Line(const std::string& text, int top, int height) override {
    RECT band = {0, top, width_, top + height};
    DrawTextA(dc_, text.c_str(), -1, &band, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

 private:
  HDC dc_;
  int width_;
};

}  // namespace

CreditScroller::~CreditScroller() { Release(); }

void CreditScroller::Release() {
  running_ = false;
  if (memoryDC_ != nullptr) {
    SelectObject(memoryDC_, originalBitmap_);
    if (originalFont_ != nullptr) SelectObject(memoryDC_, originalFont_);
    DeleteDC(memoryDC_);
    memoryDC_ = nullptr;
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  if (windowDC_ != nullptr) ReleaseDC(panelWindow_, windowDC_);
  windowDC_ = nullptr;
  originalBitmap_ = originalFont_ = nullptr;
}

void CreditScroller::Attach(HWND panel) {
  panelWindow_ = panel;
  GetClientRect(panel, &panel_);
  motion_.SetPanelSize(panel_.right - panel_.left, panel_.bottom - panel_.top);
  windowDC_ = GetWindowDC(panel);
  memoryDC_ = CreateCompatibleDC(windowDC_);
  bitmap_ = CreateCompatibleBitmap(windowDC_, motion_.width, motion_.height);
  originalBitmap_ = SelectObject(memoryDC_, bitmap_);
  SetBkMode(memoryDC_, TRANSPARENT);
  SetTextColor(memoryDC_, kTextColour);
  if (font_ != nullptr) originalFont_ = SelectObject(memoryDC_, font_);
}

void CreditScroller::Start() {
  motion_.Start();
  timer_.Init();
  timer_.DeltaMsInt();
  running_ = true;
}

void CreditScroller::DrawFrame(HDC target) {
  if (!running_ || memoryDC_ == nullptr) return;
  const float frameFactor = CreditMotion::FrameFactor(timer_.DeltaMsInt());
  RECT all = {0, 0, motion_.width, motion_.height};
  FillRect(memoryDC_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  GdiCanvas canvas(memoryDC_, motion_.width);
  motion_.Step(frameFactor, canvas);
  BitBlt(target, 0, 0, motion_.width, motion_.height, memoryDC_, 0, 0, SRCCOPY);
}
