// A rectangle in pixels as GDI keeps one: right and bottom exclusive. Kept
// free of Windows headers so portable code can compute rectangles that the
// platform files hand to the system (rect_win32.h converts).
#pragma once

#include <cstdint>

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
