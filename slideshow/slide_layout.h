// How a decoded photograph is cut into texture tiles: the tile grid, the
// optional resolution limit ("cramming"), the resize to a whole number of
// tiles and, per tile, the texture size and the picture rectangle it is
// filled from. Pure arithmetic, so the loader thread computes it and the
// tests check it without a device.
#pragma once

#include <cstdint>

// The slideshow never cuts tiles larger than this (most cards of the time
// could not filter bigger textures well).
const int32_t kSlideTileLimit = 256;
// Resolution limit used when the stored CramSize is unusable.
const int32_t kDefaultCramSize = 1024;

// How one tile's texture is filled from the picture.
enum TileFill {
  kTileFillWhole = 0,    // the whole picture, unscaled (a 1 x 1 grid)
  kTileFillStretch = 1,  // a source rectangle stretched in half-tone mode (crammed)
  kTileFillPart = 2,     // a source rectangle copied unscaled
};

struct TileRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct TileLayout {
  bool single = false;   // power-of-two picture within the limit: one tile of its own size
  bool crammed = false;  // the resolution limit applied to at least one side
  int32_t crammedWidth = 0;
  int32_t crammedHeight = 0;
  int32_t tileWidth = 0;
  int32_t tileHeight = 0;
  int32_t columns = 0;
  int32_t rows = 0;
  bool resize = false;       // the picture must be resized to pictureWidth x pictureHeight
  int32_t pictureWidth = 0;  // the picture the tiles are cut from (after any resize)
  int32_t pictureHeight = 0;
  int32_t sourceWidth = 0;  // per tile, in picture pixels
  int32_t sourceHeight = 0;
  int32_t textureWidth = 0;  // per tile, in texels
  int32_t textureHeight = 0;
};

// What the upload of tile `index` (row x columns + column, row 0 at the
// bottom of the picture) needs.
struct TileUpload {
  int32_t index = 0;
  int32_t column = 0;
  int32_t row = 0;
  TileFill fill = kTileFillPart;
  TileRect source;  // in picture pixels, y downwards from the picture's top
  int32_t textureWidth = 0;
  int32_t textureHeight = 0;
};

// 2, 4, 8, ...; 1 does not count.
bool IsPowerOfTwoSide(int32_t side);
// A CramSize below 1 would make every tile empty; it stands for the default.
int32_t EffectiveCramSize(int32_t cramSize);
// The tile side for one picture side: from the limit down by halves until
// the first candidate below 512, the smallest remainder winning (the first
// on a tie); a limit below 256 is used as it is.
int32_t PickTileSide(int32_t side, int32_t tileLimit);
// The layout of a width x height picture. A side smaller than one tile
// still gets one tile (the picture is resized up to it) rather than none.
TileLayout ComputeTileLayout(int32_t width, int32_t height, int32_t tileLimit, bool cram,
                             int32_t cramSize);
TileUpload TileUploadAt(const TileLayout& layout, int32_t index);
