// The slider that scrolls a list box (the settings dialog's display modes):
// moving the knob scrolls the list so the knob's share of the travel is the
// share of the list above its box; clicking or typing in the list moves the
// knob to the selection's place. Its value runs from exactly 0 at the top
// to 1 at the bottom.
#pragma once

#include <windows.h>

#include "ui/slider_control_win32.h"

class CListBoxSlider : public CSliderControl {
 public:
  CListBoxSlider() = default;
  ~CListBoxSlider() override;

  // Drag, press beside the knob and the wheel move the knob as for any
  // slider, then scroll the list; then the previous procedure.
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // Also gives the list box back its own procedure and user data.
  void Detach() override;
  // (position - half a knob) / (extent - knob).
  float GetValue() override;

  // Subclasses the list box (its previous user data is given back on
  // detach). A list box attached before lets go first.
  void AttachListBox(HWND listBox);
  void SetVisibleRows(int rows) { visibleRows_ = rows; }

  HWND GetListBox() const { return listBox_; }

 private:
  static LRESULT CALLBACK ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // On the list box: key presses and button releases move the knob to the
  // current selection (read before the list box handles the message, so a
  // key shows the selection it moves away from); the wheel scrolls as on
  // the slider. Then the list box's previous procedure.
  LRESULT ListBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void ReleaseListBox();
  // The wheel step of either window.
  void WheelStep(WPARAM wParam);
  // Asks the list box to show the row for the current value at the top
  // (WM_VSCROLL, SB_THUMBTRACK, the row in the high word, then the same row
  // with LB_SETTOPINDEX), then redraws.
  void ScrollList();

  HWND listBox_ = nullptr;
  int visibleRows_ = 0;
  WNDPROC listPreviousProc_ = nullptr;
  LONG_PTR listPreviousUserData_ = 0;
};
