// The skinned sliders: an owner-drawn BUTTON window that the control
// subclasses to move a knob along a track with the mouse. CSliderControl
// draws the track and the knob, CFilledSlider also shows the filled side
// (left of a horizontal knob, below a vertical one); CListBoxSlider (in
// list_box_slider_win32.h) scrolls a list box. The arithmetic is
// SliderGeometry's; these classes do the messages and the GDI work.
//
// The virtual operations keep the family's slot order (WndProc, Attach,
// Detach, GetKnobStart, GetValue, SetPosition, SetStep, StepToward, Draw,
// HitKnob); the virtual destructor comes after them.
//
// Slider objects outlive dialogs: the dialog keeps one per slider for the
// whole process and attaches it to a new window each time it opens.
#pragma once

#include <windows.h>

#include "ui/settings_mapping.h"
#include "ui/slider_geometry.h"

class CSliderControl {
 public:
  CSliderControl() = default;
  CSliderControl(const CSliderControl&) = delete;
  CSliderControl& operator=(const CSliderControl&) = delete;

  // Drag with the left button: the knob follows the mouse; a press beside
  // the knob: one step toward it; a press on the knob: nothing until the
  // mouse moves. Each change redraws into the window DC and invalidates the
  // notify rectangle. Then the previous procedure.
  virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Keeps the window, its client and window rectangles and window DC, puts
  // the object in its user data, clamps the position to the new client
  // rectangle and subclasses it. A slider still attached elsewhere lets go
  // of that window first.
  virtual void Attach(HWND window);
  // Restores the slider window's procedure, clears its user data, releases
  // the window DC. The images stay the dialog's.
  virtual void Detach();
  virtual float GetKnobStart();
  virtual float GetValue();
  virtual void SetPosition(float position);
  virtual void SetStep(int step);
  virtual void StepToward(int coordinate);
  // The track over the whole client area, then the knob.
  virtual void Draw(const DRAWITEMSTRUCT* record);
  virtual bool HitKnob(int x, int y);
  virtual ~CSliderControl();

  void SetTrackImage(HDC image) { trackImage_ = image; }
  void SetKnobImage(HDC image) { knobImage_ = image; }
  void SetKnobSize(float width, float height) { geometry_.SetKnobSize(width, height); }
  void SetHorizontal(bool horizontal) { geometry_.SetHorizontal(horizontal); }
  // Knob size, step and orientation of one of the dialog's slider shapes.
  void Configure(const SliderLayout& layout);
  // The window (and its rectangle) invalidated, without erasing, after each
  // change: the settings dialog repaints the delay label this way. None =
  // no invalidation.
  void SetNotifyWindow(HWND window) { notifyWindow_ = window; }
  void SetNotifyRect(const RECT& rect) { notifyRect_ = rect; }
  // value limited to 0..1, then SetPosition(value x (extent - half a knob)).
  void SetValue(float value);

  float GetPosition() const { return geometry_.Position(); }
  HWND GetWindow() const { return window_; }
  const SliderGeometry& Geometry() const { return geometry_; }

 protected:
  // What Detach does for the slider window alone.
  void ReleaseWindow();
  // Draw into the slider's own window DC, as after mouse input.
  void DrawIntoWindow();
  void InvalidateNotifyRect() const;
  void DrawKnob(HDC dc) const;
  // Copies a rectangle of `image` to the same place of `dc`; nothing
  // without an image.
  static void CopyPart(HDC dc, HDC image, const SliderGeometry::PixelRect& part);
  LRESULT CallPreviousProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
  static int MouseX(LPARAM lParam) { return LOWORD(lParam); }
  static int MouseY(LPARAM lParam) { return HIWORD(lParam); }

  SliderGeometry geometry_;
  HDC trackImage_ = nullptr;
  HDC knobImage_ = nullptr;
  HDC windowDC_ = nullptr;
  RECT windowRect_ = {};
  RECT notifyRect_ = {};
  HWND window_ = nullptr;
  HWND notifyWindow_ = nullptr;
  WNDPROC previousProc_ = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

class CFilledSlider : public CSliderControl {
 public:
  // The fill image, usually the skin cut of the slider's own rectangle.
  void SetFillImage(HDC image) { fillImage_ = image; }

  // The empty track on one side of the knob's centre, the fill on the
  // other, then the knob.
  void Draw(const DRAWITEMSTRUCT* record) override;

 private:
  HDC fillImage_ = nullptr;
};
