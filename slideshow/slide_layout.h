// How a photograph becomes texture tiles: the picture size a slide needs on
// this screen, the grid of power-of-two tiles it is cut into (edge tiles
// padded, their texture coordinates cut to the picture) and, per tile, the
// picture rectangle it holds. Pure arithmetic, so the loader thread computes
// it and the tests check it without a device.
#pragma once

#include <cstdint>

#include "slideshow/picture_fit.h"

// The slideshow never cuts tiles larger than this (most cards of the time
// could not filter bigger textures well).
const int32_t kSlideTileLimit = 256;
// Resolution limit used when the stored CramSize is unusable.
const int32_t kDefaultCramSize = 1024;

struct TileRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// What the screen asks of a slide's picture.
struct SlideScreen {
  int32_t width = 0;  // the saver window in pixels; 0 keeps photographs at their own size
  int32_t height = 0;
  bool cover = true;         // animated slides cover the screen, still ones fit inside it
  float largestZoom = 1.0f;  // the largest scale a slide reaches while it is on screen
};

// A CramSize below 1 would make every tile empty; it stands for the default.
int32_t EffectiveCramSize(int32_t cramSize);
// The picture a slide is made from. Cramming limits each side to the cram
// size on its own (the slide's proportions come from its dims record).
// Otherwise it is what the screen can show of the photograph at the largest
// zoom, never more than the photograph's own size.
FittedSize NeededPictureSize(int32_t photoWidth, int32_t photoHeight, const SlideScreen& screen, bool cram,
                             int32_t cramSize);
// Mip levels, at most `requested`, for a picture of pictureWidth x
// pictureHeight made from a photoWidth x photoHeight photograph. A slide is
// never shown smaller than its covering (or fitted) size, so levels for less
// than that would never be drawn; each level is kept only once the picture
// is more than half a level (1.41 times) larger than what the level above
// it gives. Trilinear filtering at the slide's largest zoom would otherwise
// blend in a level of half the detail. An unknown screen keeps `requested`.
int32_t SlideMipLevels(int32_t pictureWidth, int32_t pictureHeight, int32_t photoWidth, int32_t photoHeight,
                       const SlideScreen& screen, int32_t requested);

int32_t FloorPowerOfTwo(int32_t value);  // at least 1
int32_t CeilPowerOfTwo(int32_t value);   // at least 1

struct TileLayout {
  int32_t pictureWidth = 0;  // the picture the tiles are cut from
  int32_t pictureHeight = 0;
  int32_t tileWidth = 0;  // every tile's texture; powers of two
  int32_t tileHeight = 0;
  int32_t columns = 0;
  int32_t rows = 0;
};

// Tiles of the largest power of two within `tileLimit`, or the smallest that
// holds the whole side when that is less; the last column and the top row
// hold what is left of the picture.
TileLayout ComputeTileLayout(int32_t pictureWidth, int32_t pictureHeight, int32_t tileLimit);

// What tile `index` (row x columns + column, row 0 at the bottom of the
// picture) holds.
struct TileUpload {
  int32_t index = 0;
  int32_t column = 0;
  int32_t row = 0;
  TileRect source;  // in picture pixels, y downwards from the picture's top
  int32_t textureWidth = 0;
  int32_t textureHeight = 0;
  float uMax = 1.0f;  // the share of the texture the picture fills
  float vMax = 1.0f;
};
TileUpload TileUploadAt(const TileLayout& layout, int32_t index);

// Where grid line `i` (0..columns) lies across the picture's width, and row
// line `j` (0..rows) up its height from the bottom, as shares of 0..1.
float ColumnEdge(const TileLayout& layout, int32_t i);
float RowEdge(const TileLayout& layout, int32_t j);
