#include "ui/settings_mapping.h"

#include <cstdio>

const SliderLayout kVolumeSliderLayout = {18, 108, 18, 7, 10, false};
const SliderLayout kDelaySliderLayout = {108, 17, 7, 18, 10, true};
const SliderLayout kDisplayModeSliderLayout = {15, 94, 13, 13, 35, false};

namespace {

constexpr float kFullVolume = 255;
constexpr float kShortestDelay = 4;
constexpr float kDelayRange = 26;  // 4 to 30 seconds

}  // namespace

SliderGeometry MakeSliderGeometry(const SliderLayout& layout) {
  SliderGeometry geometry;
  geometry.SetClientRect(0, 0, layout.width, layout.height);
  geometry.SetKnobSize(layout.knobWidth, layout.knobHeight);
  geometry.SetStep(layout.step);
  geometry.SetHorizontal(layout.horizontal);
  geometry.SetPosition(geometry.Position());
  return geometry;
}

float VolumeSliderValue(int musicVol) { return 1 - static_cast<float>(musicVol) / kFullVolume; }

int MusicVolFromSliderValue(float value) { return static_cast<int>(kFullVolume - kFullVolume * value); }

float DelaySliderValue(float imageDelay) { return (imageDelay - kShortestDelay) / kDelayRange; }

int ImageDelayFromSliderValue(float value) { return static_cast<int>(value * kDelayRange + kShortestDelay); }

std::string DelayLabelText(float value) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", ImageDelayFromSliderValue(value));
  return std::string(number) + " sec";
}
