#include "ui/list_box_slider_win32.h"

#include "ui/subclass_win32.h"

CListBoxSlider::~CListBoxSlider() { ReleaseListBox(); }

LRESULT CListBoxSlider::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if ((wParam & MK_LBUTTON) != 0) {
        SetPosition(static_cast<float>(geometry_.AxisCoordinate(static_cast<uint32_t>(lParam))));
        ScrollList();
      }
      break;
    case WM_LBUTTONDOWN:
      if (!HitKnob(MouseX(lParam), MouseY(lParam))) {
        StepToward(geometry_.AxisCoordinate(static_cast<uint32_t>(lParam)));
        ScrollList();
      }
      break;
    case WM_MOUSEWHEEL:
      WheelStep(wParam);
      ScrollList();
      break;
    default:
      break;
  }
  return CallPreviousProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CListBoxSlider::ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CListBoxSlider* slider = WindowObject<CListBoxSlider>(window);
  if (slider == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return slider->ListBoxWndProc(window, message, wParam, lParam);
}

LRESULT CListBoxSlider::ListBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONUP: {
      const int count = static_cast<int>(SendMessageA(window, LB_GETCOUNT, 0, 0));
      const int selection = static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
      SetValue(SliderGeometry::ListValueForSelection(selection, count));
      DrawIntoWindow();
      break;
    }
    case WM_MOUSEWHEEL:
      WheelStep(wParam);
      ScrollList();
      break;
    default:
      break;
  }
  return CallPrevious(listPreviousProc_, window, message, wParam, lParam);
}

void CListBoxSlider::Detach() {
  ReleaseWindow();
  ReleaseListBox();
}

float CListBoxSlider::GetValue() { return geometry_.GetListValue(); }

void CListBoxSlider::AttachListBox(HWND listBox) {
  ReleaseListBox();
  if (listBox == nullptr) return;
  listBox_ = listBox;
  listPreviousUserData_ = GetWindowLongPtrA(listBox, GWLP_USERDATA);
  listPreviousProc_ = SubclassWindow(listBox, this, ListBoxProcedure);
}

void CListBoxSlider::ReleaseListBox() {
  if (listBox_ == nullptr) return;
  RestoreWindow(listBox_, listPreviousProc_, listPreviousUserData_);
  listBox_ = nullptr;
  listPreviousProc_ = nullptr;
  listPreviousUserData_ = 0;
}

void CListBoxSlider::WheelStep(WPARAM wParam) {
  SetPosition(geometry_.WheelTarget(GET_WHEEL_DELTA_WPARAM(wParam)));
}

void CListBoxSlider::ScrollList() {
  if (listBox_ != nullptr) {
    const int count = static_cast<int>(SendMessageA(listBox_, LB_GETCOUNT, 0, 0));
    const int top = SliderGeometry::ListTopRow(GetValue(), count, visibleRows_);
    SendMessageA(listBox_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, top), 0);
    // Windows list boxes take the row from the high word; Wine's read the
    // thumb position of their scroll bar instead and stay put. Setting the
    // top row as well changes nothing on Windows (the same row, limited to
    // the last full page the same way) and scrolls everywhere.
    SendMessageA(listBox_, LB_SETTOPINDEX, top, 0);
  }
  DrawIntoWindow();
}
