#include "ui/slider_geometry.h"

namespace {

// Mouse words beyond this are negative coordinates read as unsigned.
constexpr uint32_t kLargestMouseCoordinate = 55000;

int Truncate(float value) { return static_cast<int>(value); }

}  // namespace

void SliderGeometry::SetClientRect(int left, int top, int right, int bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
}

void SliderGeometry::SetKnobSize(float width, float height) {
  knobWidth_ = width;
  knobHeight_ = height;
}

float SliderGeometry::ClampPosition(float position) const {
  const float half = KnobLength() / 2;
  const float farthest = static_cast<float>(Extent()) - half;
  const float nearest = static_cast<float>(Origin()) + half;
  if (position > farthest) return farthest;
  if (position < nearest) return nearest;
  return position;
}

float SliderGeometry::GetValue() const {
  return position_ / (static_cast<float>(Extent()) - KnobLength() / 2);
}

float SliderGeometry::GetListValue() const {
  return (position_ - KnobLength() / 2) / (static_cast<float>(Extent()) - KnobLength());
}

float SliderGeometry::PositionForValue(float value) const {
  if (value < 0) value = 0;
  if (value > 1) value = 1;
  return value * (static_cast<float>(Extent()) - KnobLength() / 2);
}

float SliderGeometry::StepTarget(int coordinate) const {
  const float step = static_cast<float>(step_);
  return static_cast<float>(coordinate) > position_ ? position_ + step : position_ - step;
}

float SliderGeometry::WheelTarget(int wheelDelta) const {
  const float half = static_cast<float>(step_ / 2);
  return wheelDelta > 0 ? GetKnobStart() - half : GetKnobStart() + half;
}

bool SliderGeometry::HitKnob(int x, int y) const {
  const float along = static_cast<float>(horizontal_ ? x : y);
  const float half = KnobLength() / 2;
  return along >= position_ - half && along <= position_ + half;
}

int SliderGeometry::AxisCoordinate(uint32_t lParam) const {
  return MouseCoordinate(horizontal_ ? (lParam & 0xFFFF) : ((lParam >> 16) & 0xFFFF));
}

int SliderGeometry::MouseCoordinate(uint32_t word) {
  return word > kLargestMouseCoordinate ? 0 : static_cast<int>(word);
}

int SliderGeometry::ListTopRow(float value, int count, int visibleRows) {
  const int rows = count - (visibleRows - 1);
  const int top = Truncate(value * static_cast<float>(rows));
  return top < 0 ? 0 : top;
}

float SliderGeometry::ListValueForSelection(int selection, int count) {
  if (count <= 1 || selection < 0) return 0;
  return static_cast<float>(selection) / static_cast<float>(count - 1);
}

SliderGeometry::PixelRect SliderGeometry::TrackRect() const { return {0, 0, right_, bottom_}; }

SliderGeometry::PixelRect SliderGeometry::KnobRect() const {
  PixelRect knob;
  knob.width = Truncate(knobWidth_);
  knob.height = Truncate(knobHeight_);
  if (horizontal_) {
    knob.x = Truncate(position_ - knobWidth_ / 2);
    knob.y = Truncate(static_cast<float>(bottom_ / 2) - knobHeight_ / 2);
  } else {
    knob.x = Truncate(static_cast<float>(right_ / 2 + 1) - knobWidth_ / 2);
    knob.y = Truncate(position_ - knobHeight_ / 2);
  }
  return knob;
}

SliderGeometry::PixelRect SliderGeometry::EmptyPartRect() const {
  const int split = Truncate(position_);
  if (horizontal_) return {split, 0, right_ - split, bottom_};
  return {0, 0, right_, split};
}

SliderGeometry::PixelRect SliderGeometry::FilledPartRect() const {
  const int split = Truncate(position_);
  if (horizontal_) return {0, 0, split, bottom_};
  return {0, split, right_, bottom_ - split};
}
