// The arithmetic of the skinned sliders, apart from any window: where the
// knob may go, what value a knob position stands for, how clicks, drags and
// the wheel move it, which list row a list-box slider scrolls to, and which
// pixel rectangles the pieces are drawn in. The Windows controls
// (slider_control_win32.h) keep one of these and do only the GDI work.
//
// Positions are the knob's centre along the slider axis in client pixels,
// as single-precision floats: the settings dialog's stored values depend on
// exactly this rounding (a base slider never reaches value 0, so the
// loudest volume it stores is 246).
#pragma once

#include <cstdint>

class SliderGeometry {
 public:
  // A rectangle in client pixels, already truncated to whole pixels.
  struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  SliderGeometry() = default;

  void SetClientRect(int left, int top, int right, int bottom);
  int ClientLeft() const { return left_; }
  int ClientTop() const { return top_; }
  int ClientRight() const { return right_; }
  int ClientBottom() const { return bottom_; }

  void SetKnobSize(float width, float height);
  float KnobWidth() const { return knobWidth_; }
  float KnobHeight() const { return knobHeight_; }
  void SetStep(int step) { step_ = step; }
  int Step() const { return step_; }
  void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
  bool IsHorizontal() const { return horizontal_; }

  // Along the slider axis: the far client edge (right or bottom), the near
  // one (left or top) and the knob's size (width or height).
  int Extent() const { return horizontal_ ? right_ : bottom_; }
  int Origin() const { return horizontal_ ? left_ : top_; }
  float KnobLength() const { return horizontal_ ? knobWidth_ : knobHeight_; }

  float Position() const { return position_; }
  // Keeps the whole knob inside: a centre beyond extent - half a knob
  // becomes that, else one before origin + half a knob becomes that.
  float ClampPosition(float position) const;
  void SetPosition(float position) { position_ = ClampPosition(position); }

  float GetKnobStart() const { return position_ - KnobLength() / 2; }
  // The plain and filled sliders' value: position / (extent - half a knob),
  // about 0.03 at the near end and exactly 1 at the far one.
  float GetValue() const;
  // The list-box slider's value: 0 at the near end, 1 at the far one.
  float GetListValue() const;
  // Where SetValue(value) puts the knob before clamping: value (limited to
  // 0..1) x (extent - half a knob).
  float PositionForValue(float value) const;
  void SetValue(float value) { SetPosition(PositionForValue(value)); }

  // A click beside the knob: one step toward the clicked coordinate.
  float StepTarget(int coordinate) const;
  void StepToward(int coordinate) { SetPosition(StepTarget(coordinate)); }
  // A wheel turn: from the knob's start, half a step (rounded toward zero)
  // toward the near end for a positive delta, else toward the far end.
  float WheelTarget(int wheelDelta) const;
  void WheelStep(int wheelDelta) { SetPosition(WheelTarget(wheelDelta)); }

  // The knob covers the point when its axis coordinate lies within
  // position +- half a knob, bounds included.
  bool HitKnob(int x, int y) const;

  // The axis coordinate of a mouse message's lParam: low word when
  // horizontal, high word when vertical.
  int AxisCoordinate(uint32_t lParam) const;
  // A mouse word as the slider reads it: left of or above the window the
  // word holds a negative number read as unsigned; anything above 55000
  // counts as 0.
  static int MouseCoordinate(uint32_t word);

  // The list row a list-box slider of `value` scrolls to: trunc(value x
  // (count - (visibleRows - 1))), never below 0 (a list that fits its box
  // has nowhere to scroll).
  static int ListTopRow(float value, int count, int visibleRows);
  // The list-box slider value for a list selection: selection / (count -
  // 1); 0 for a list of one entry or less and for no selection.
  static float ListValueForSelection(int selection, int count);

  // Drawing rectangles. The track covers the whole client area; the knob is
  // knob width x knob height centred across the slider.
  PixelRect TrackRect() const;
  PixelRect KnobRect() const;
  // For the filled slider: the part of the track still shown, and the
  // filled part (left of a horizontal knob's centre, below a vertical one's).
  // Both are also the source rectangles in their images.
  PixelRect EmptyPartRect() const;
  PixelRect FilledPartRect() const;

 private:
  int left_ = 0;
  int top_ = 0;
  int right_ = 0;
  int bottom_ = 0;
  float position_ = 0;
  float knobWidth_ = 7;
  float knobHeight_ = 18;
  int step_ = 10;
  bool horizontal_ = true;
};
