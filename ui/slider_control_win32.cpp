#include "ui/slider_control_win32.h"

#include "ui/subclass_win32.h"

CSliderControl::~CSliderControl() { ReleaseWindow(); }

LRESULT CALLBACK CSliderControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CSliderControl* slider = WindowObject<CSliderControl>(window);
  if (slider == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return slider->WndProc(window, message, wParam, lParam);
}

LRESULT CSliderControl::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if ((wParam & MK_LBUTTON) != 0) {
        SetPosition(static_cast<float>(geometry_.AxisCoordinate(static_cast<uint32_t>(lParam))));
        DrawIntoWindow();
        InvalidateNotifyRect();
      }
      break;
    case WM_LBUTTONDOWN:
      if (!HitKnob(MouseX(lParam), MouseY(lParam))) {
        StepToward(geometry_.AxisCoordinate(static_cast<uint32_t>(lParam)));
        DrawIntoWindow();
        InvalidateNotifyRect();
      }
      break;
    default:
      break;
  }
  return CallPreviousProc(window, message, wParam, lParam);
}

void CSliderControl::Attach(HWND window) {
  ReleaseWindow();
  if (window == nullptr) return;
  window_ = window;
  RECT client = {};
  GetClientRect(window, &client);
  geometry_.SetClientRect(client.left, client.top, client.right, client.bottom);
  GetWindowRect(window, &windowRect_);
  windowDC_ = GetWindowDC(window);
  SetPosition(geometry_.Position());
  previousProc_ = SubclassWindow(window, this, Procedure);
}

void CSliderControl::Detach() { ReleaseWindow(); }

void CSliderControl::ReleaseWindow() {
  if (window_ == nullptr) return;
  RestoreWindow(window_, previousProc_);
  if (windowDC_ != nullptr) ReleaseDC(window_, windowDC_);
  windowDC_ = nullptr;
  previousProc_ = nullptr;
  window_ = nullptr;
}

float CSliderControl::GetKnobStart() { return geometry_.GetKnobStart(); }

float CSliderControl::GetValue() { return geometry_.GetValue(); }

void CSliderControl::SetPosition(float position) { geometry_.SetPosition(position); }

void CSliderControl::SetStep(int step) { geometry_.SetStep(step); }

void CSliderControl::StepToward(int coordinate) { SetPosition(geometry_.StepTarget(coordinate)); }

void CSliderControl::SetValue(float value) { SetPosition(geometry_.PositionForValue(value)); }

bool CSliderControl::HitKnob(int x, int y) { return geometry_.HitKnob(x, y); }

void CSliderControl::Draw(const DRAWITEMSTRUCT* record) {
  if (record == nullptr) return;
  CopyPart(record->hDC, trackImage_, geometry_.TrackRect());
  DrawKnob(record->hDC);
}

void CSliderControl::DrawKnob(HDC dc) const {
  if (knobImage_ == nullptr) return;
  const SliderGeometry::PixelRect knob = geometry_.KnobRect();
  BitBlt(dc, knob.x, knob.y, knob.width, knob.height, knobImage_, 0, 0, SRCCOPY);
}

void CSliderControl::CopyPart(HDC dc, HDC image, const SliderGeometry::PixelRect& part) {
  if (image == nullptr) return;
  BitBlt(dc, part.x, part.y, part.width, part.height, image, part.x, part.y, SRCCOPY);
}

void CSliderControl::DrawIntoWindow() {
  if (window_ == nullptr || windowDC_ == nullptr) return;
  DRAWITEMSTRUCT record = {};
  record.CtlType = ODT_BUTTON;
  record.CtlID = static_cast<UINT>(GetDlgCtrlID(window_));
  record.itemAction = ODA_DRAWENTIRE;
  record.hwndItem = window_;
  record.hDC = windowDC_;
  record.rcItem = {geometry_.ClientLeft(), geometry_.ClientTop(), geometry_.ClientRight(),
                   geometry_.ClientBottom()};
  Draw(&record);
}

void CSliderControl::InvalidateNotifyRect() const {
  if (notifyWindow_ != nullptr) InvalidateRect(notifyWindow_, &notifyRect_, FALSE);
}

LRESULT CSliderControl::CallPreviousProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  return CallPrevious(previousProc_, window, message, wParam, lParam);
}

void CFilledSlider::Draw(const DRAWITEMSTRUCT* record) {
  if (record == nullptr) return;
  CopyPart(record->hDC, trackImage_, geometry_.EmptyPartRect());
  CopyPart(record->hDC, fillImage_, geometry_.FilledPartRect());
  DrawKnob(record->hDC);
}

void CSliderControl::Configure(const SliderLayout& layout) {
  SetKnobSize(layout.knobWidth, layout.knobHeight);
  SetStep(layout.step);
  SetHorizontal(layout.horizontal);
}
