// How a photograph's EXIF orientation (TIFF tag 274) turns its stored pixels
// upright. Values 1 to 8 as cameras write them: 1 stored upright, 2 mirrored
// left to right, 3 turned half round, 4 mirrored top to bottom, 5 to 8 the
// same four with rows and columns exchanged (the picture lies on its side).
#pragma once

#include <cstddef>
#include <cstdint>

// The orientation recorded in a JPEG's APP1 segment (its payload, starting
// "Exif\0\0"); 1 when there is none or the value is out of range.
int ExifOrientation(const uint8_t* app1, size_t size);

// True for 5 to 8: the upright picture's width is the stored height.
bool OrientationSwapsSides(int orientation);

// Where one stored row lands in the upright picture, counted in pixels of
// packed upright rows: pixel x of the row goes to first + x * step.
struct UprightLine {
  size_t first;
  ptrdiff_t step;
};

// The line for row `row` of a stored width x height picture. An
// orientation outside 1 to 8 counts as 1.
UprightLine UprightLineOfRow(int orientation, int width, int height, int row);
