// The window region of a skinned dialog, made from its skin picture at build
// time: the picture's opaque pixels as the RGNDATA record that Windows'
// ExtCreateRegion takes, so the dialog only loads a resource at run time.
//
// Record, little-endian: a 32-byte header (dwSize 32, iType 1 = rectangles,
// nCount, nRgnSize = 16 x nCount, rcBound = the picture's frame) followed by
// nCount RECTs (left, top, right, bottom; right and bottom exclusive).
// Rectangles come in bands as GDI keeps them: each row's inside runs become
// rectangles, vertically adjacent rows with identical runs share one band,
// bands are sorted by top and never overlap, and inside a band rectangles
// are sorted by left and never touch.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/rect.h"

// One byte per pixel, rows top to bottom: nonzero = inside the window.
struct RegionMask {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> inside;
};

constexpr uint32_t kRegionHeaderSize = 32;
constexpr uint32_t kRegionRectSize = 16;

// Inside where a pixel is at least half opaque (alpha >= 128); `pixels`
// holds width x height pixels of four bytes with alpha last (RGBA or BGRA).
RegionMask MaskFromAlpha(const uint8_t* pixels, int width, int height);

// The mask's inside as banded rectangles; none for a mask whose byte count
// does not match its size.
std::vector<Rect> RegionRects(const RegionMask& mask);

// The RGNDATA bytes for `rects` in a picture of width x height.
std::vector<uint8_t> EncodeRegionData(const std::vector<Rect>& rects, int width, int height);
