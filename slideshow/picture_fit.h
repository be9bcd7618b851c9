// Fitting a photograph inside a screen or desktop with the proportions of
// its dims record: fast mode's display size and the wallpaper bitmap's.
#pragma once

#include <cstdint>

struct FittedSize {
  int32_t width = 0;
  int32_t height = 0;
};

// With e = dimsWidth / dimsHeight: a picture at least as wide as the area
// takes its whole width (height truncated), a narrower one its whole
// height. A record without a usable size fills the area rather than divide
// by zero.
FittedSize FitInside(int32_t dimsWidth, int32_t dimsHeight, int32_t areaWidth, int32_t areaHeight);
