#include "slideshow/tile_pixels.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/mip_chain.h"

namespace {

MipPlane PlaneOf(std::vector<uint8_t>& level, int32_t width, int32_t height) {
  return MipPlane{level.data(), width * 4, width, height};
}

}  // namespace

TileCutter::TileCutter(const TileLayout& layout, int32_t mipLevels, std::vector<TilePixels>& tiles)
    : layout_(layout), mipLevels_(mipLevels), tiles_(tiles) {
  tiles_.assign(static_cast<size_t>(layout.columns) * static_cast<size_t>(layout.rows), TilePixels());
  for (TilePixels& tile : tiles_) {
    tile.width = layout.tileWidth;
    tile.height = layout.tileHeight;
  }
}

TilePixels& TileCutter::TileAt(int32_t band, int32_t column) {
  // Bands count from the top, grid rows from the bottom.
  const int32_t row = layout_.rows - 1 - band;
  return tiles_[static_cast<size_t>(row) * static_cast<size_t>(layout_.columns) + static_cast<size_t>(column)];
}

void TileCutter::Row(int32_t y, const uint8_t* row) {
  if (y < 0 || y >= layout_.pictureHeight || layout_.tileWidth < 1 || layout_.tileHeight < 1) return;
  const int32_t band = y / layout_.tileHeight;
  const int32_t inBand = y - band * layout_.tileHeight;
  for (int32_t column = 0; column < layout_.columns; ++column) {
    TilePixels& tile = TileAt(band, column);
    if (tile.levels.empty()) {
      const int32_t levels =
          MipLevelCount(static_cast<uint32_t>(tile.width), static_cast<uint32_t>(tile.height), mipLevels_);
      tile.levels.resize(static_cast<size_t>(levels));
      tile.levels[0].resize(static_cast<size_t>(tile.width) * tile.height * 4);
    }
    const int32_t x0 = column * layout_.tileWidth;
    const int32_t copyWidth = std::min(layout_.tileWidth, layout_.pictureWidth - x0);
    const uint8_t* from = row + static_cast<size_t>(x0) * 4;
    uint8_t* to = tile.levels[0].data() + static_cast<size_t>(inBand) * tile.width * 4;
    std::memcpy(to, from, static_cast<size_t>(copyWidth) * 4);
    for (int32_t x = copyWidth; x < tile.width; ++x) std::memcpy(to + x * 4, from + (copyWidth - 1) * 4, 4);
  }
  const int32_t rowsInBand = std::min(layout_.tileHeight, layout_.pictureHeight - band * layout_.tileHeight);
  if (inBand == rowsInBand - 1) FinishBand(band, rowsInBand);
}

void TileCutter::FinishBand(int32_t band, int32_t rowsInBand) {
  for (int32_t column = 0; column < layout_.columns; ++column) {
    TilePixels& tile = TileAt(band, column);
    const size_t rowBytes = static_cast<size_t>(tile.width) * 4;
    uint8_t* top = tile.levels[0].data();
    for (int32_t y = rowsInBand; y < tile.height; ++y)
      std::memcpy(top + y * rowBytes, top + (rowsInBand - 1) * rowBytes, rowBytes);
    for (int32_t k = 1; k < static_cast<int32_t>(tile.levels.size()); ++k) {
      tile.levels[k].resize(static_cast<size_t>(tile.LevelWidth(k)) * tile.LevelHeight(k) * 4);
      AverageMipLevel32(PlaneOf(tile.levels[k - 1], tile.LevelWidth(k - 1), tile.LevelHeight(k - 1)),
                        PlaneOf(tile.levels[k], tile.LevelWidth(k), tile.LevelHeight(k)));
    }
  }
}

bool TileCutter::CutPicture(const uint8_t* picture) {
  const size_t stride = static_cast<size_t>(layout_.pictureWidth) * 4;
  try {
    for (int32_t y = 0; y < layout_.pictureHeight; ++y) Row(y, picture + static_cast<size_t>(y) * stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
