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

bool CutTile(const uint8_t* picture, int32_t pictureWidth, int32_t pictureHeight, const TileUpload& upload,
             int32_t mipLevels, TilePixels& tile) {
  tile = TilePixels();
  tile.width = upload.textureWidth;
  tile.height = upload.textureHeight;
  if (picture == nullptr || tile.width < 1 || tile.height < 1) return true;
  const TileRect& src = upload.source;
  const int32_t levels = MipLevelCount(static_cast<uint32_t>(tile.width), static_cast<uint32_t>(tile.height), mipLevels);
  try {
    tile.levels.resize(static_cast<size_t>(levels));
    std::vector<uint8_t>& top = tile.levels[0];
    top.resize(static_cast<size_t>(tile.width) * tile.height * 4);
    const size_t stride = static_cast<size_t>(pictureWidth) * 4;
    const int32_t copyWidth = std::max(std::min(src.width, pictureWidth - src.x), 1);
    const int32_t copyHeight = std::max(std::min(src.height, pictureHeight - src.y), 1);
    for (int32_t y = 0; y < tile.height; ++y) {
      const int32_t fromY = src.y + std::min(y, copyHeight - 1);
      const uint8_t* from = picture + static_cast<size_t>(fromY) * stride + static_cast<size_t>(src.x) * 4;
      uint8_t* to = top.data() + static_cast<size_t>(y) * tile.width * 4;
      std::memcpy(to, from, static_cast<size_t>(copyWidth) * 4);
      for (int32_t x = copyWidth; x < tile.width; ++x) std::memcpy(to + x * 4, from + (copyWidth - 1) * 4, 4);
    }
    for (int32_t k = 1; k < levels; ++k) {
      tile.levels[k].resize(static_cast<size_t>(tile.LevelWidth(k)) * tile.LevelHeight(k) * 4);
      AverageMipLevel32(PlaneOf(tile.levels[k - 1], tile.LevelWidth(k - 1), tile.LevelHeight(k - 1)),
                        PlaneOf(tile.levels[k], tile.LevelWidth(k), tile.LevelHeight(k)));
    }
  } catch (const std::bad_alloc&) {
    tile = TilePixels();
    return false;
  }
  return true;
}
