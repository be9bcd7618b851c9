// How the settings dialog's sliders stand for settings: the volume slider
// (top = loud) for MusicVol 0..255 and the delay slider for ImageDelay 4..30
// seconds, with the label the dialog paints beside the delay slider. Also
// the three sliders' fixed shapes, so that the dialog and the tests set up
// the same geometry.
//
// A base slider's value never reaches 0 (its knob centre stops half a knob
// from the edge), so the dialog stores at most 246 for the volume and at
// least 4 seconds for the delay; that is how the program has always behaved.
#pragma once

#include <string>

#include "ui/slider_geometry.h"

// One slider of the settings dialog: client size, knob size, click step and
// orientation.
struct SliderLayout {
  int width;
  int height;
  float knobWidth;
  float knobHeight;
  int step;
  bool horizontal;
};

extern const SliderLayout kVolumeSliderLayout;       // 1033: vertical 18 x 108, knob 18 x 7
extern const SliderLayout kDelaySliderLayout;        // 1020: horizontal 108 x 17, knob 7 x 18
extern const SliderLayout kDisplayModeSliderLayout;  // 1052: vertical 15 x 94, knob 13 x 13, step 35
// The display-mode list box shows this many rows beside its slider.
constexpr int kDisplayModeVisibleRows = 6;

// A geometry of that layout with its client rectangle at (0, 0) and the
// knob where a fresh slider has it (clamped from 0).
SliderGeometry MakeSliderGeometry(const SliderLayout& layout);

// Volume slider: value 1 - MusicVol / 255 on opening; MusicVol =
// trunc(255 - 255 x value) on OK.
float VolumeSliderValue(int musicVol);
int MusicVolFromSliderValue(float value);

// Delay slider: value (ImageDelay - 4) / 26 on opening; ImageDelay =
// trunc(value x 26 + 4) whole seconds on OK and in the label.
float DelaySliderValue(float imageDelay);
int ImageDelayFromSliderValue(float value);
// "10 sec" for a value that stands for 10 seconds.
std::string DelayLabelText(float value);
