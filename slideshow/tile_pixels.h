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

// Cuts `upload`'s rectangle out of a B G R A picture (rows of 4 x
// pictureWidth bytes). Texels past the picture's edge repeat its last
// column and row, so filtering at the cut never blends in black; each lower
// level averages 2 x 2 texels of the one above. False when memory is short.
bool CutTile(const uint8_t* picture, int32_t pictureWidth, int32_t pictureHeight, const TileUpload& upload,
             int32_t mipLevels, TilePixels& tile);
