// A tile's texels made on the loader thread, so the main thread's share is
// one copy into the locked texture: 32-bit B G R A rows, top down, for every
// mip level the texture will have.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "slideshow/slide_layout.h"

struct TilePixels {
  int32_t width = 0;  // level 0, the texture's size
  int32_t height = 0;
  // Level k is (width >> k) x (height >> k), at least 1 x 1. Empty when the
  // picture had no pixels to cut from.
  std::vector<std::vector<uint8_t>> levels;

  int32_t LevelWidth(int32_t level) const { return std::max(width >> level, 1); }
  int32_t LevelHeight(int32_t level) const { return std::max(height >> level, 1); }
};

// Cuts a picture into its tiles row by row, top down, as a decoder or a
// resampler makes the rows, so the tiles are all a load holds. Texels past
// the picture's edge repeat its last column and row, so filtering at the cut
// never blends in black; once a band of tiles has all its rows, each lower
// mip level averages 2 x 2 texels of the one above.
class TileCutter {
 public:
  // Sizes `tiles` to the layout's grid (index row x columns + column, row 0
  // at the bottom), each tile without texels until its rows come.
  TileCutter(const TileLayout& layout, int32_t mipLevels, std::vector<TilePixels>& tiles);
  // Row y of the picture, 0 at the top: 4 x pictureWidth bytes of B G R A.
  // Throws std::bad_alloc when memory is short.
  void Row(int32_t y, const uint8_t* row);
  // Every row of a picture held whole; false when memory is short.
  bool CutPicture(const uint8_t* picture);

 private:
  TilePixels& TileAt(int32_t band, int32_t column);
  void FinishBand(int32_t band, int32_t rowsInBand);

  TileLayout layout_;
  int32_t mipLevels_;
  std::vector<TilePixels>& tiles_;
};
