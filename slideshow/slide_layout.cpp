#include "slideshow/slide_layout.h"

#include <algorithm>
#include <cmath>

int32_t EffectiveCramSize(int32_t cramSize) { return cramSize < 1 ? kDefaultCramSize : cramSize; }

namespace {

// How much of the photograph's size the slide shows before any zoom.
double ShownScale(int32_t photoWidth, int32_t photoHeight, const SlideScreen& screen) {
  const double across = static_cast<double>(screen.width) / photoWidth;
  const double down = static_cast<double>(screen.height) / photoHeight;
  return screen.cover ? std::max(across, down) : std::min(across, down);
}

}  // namespace

FittedSize NeededPictureSize(int32_t photoWidth, int32_t photoHeight, const SlideScreen& screen, bool cram,
                             int32_t cramSize) {
  photoWidth = std::max(photoWidth, 1);
  photoHeight = std::max(photoHeight, 1);
  if (cram) {
    const int32_t limit = EffectiveCramSize(cramSize);
    return FittedSize{std::min(photoWidth, limit), std::min(photoHeight, limit)};
  }
  if (screen.width < 1 || screen.height < 1) return FittedSize{photoWidth, photoHeight};
  const double scale = ShownScale(photoWidth, photoHeight, screen) * std::max(screen.largestZoom, 1.0f);
  if (scale >= 1.0) return FittedSize{photoWidth, photoHeight};
  return FittedSize{std::max(static_cast<int32_t>(std::ceil(photoWidth * scale)), 1),
                    std::max(static_cast<int32_t>(std::ceil(photoHeight * scale)), 1)};
}

int32_t SlideMipLevels(int32_t pictureWidth, int32_t pictureHeight, int32_t photoWidth, int32_t photoHeight,
                       const SlideScreen& screen, int32_t requested) {
  if (requested <= 1 || screen.width < 1 || screen.height < 1) return std::max(requested, 1);
  photoWidth = std::max(photoWidth, 1);
  photoHeight = std::max(photoHeight, 1);
  const double shown = ShownScale(photoWidth, photoHeight, screen);
  // Texels per screen pixel at the slide's smallest, along the denser side
  // (a crammed picture need not keep the photograph's proportions).
  double density = std::max(pictureWidth / (photoWidth * shown), pictureHeight / (photoHeight * shown));
  int32_t levels = 1;
  for (; levels < requested && density > std::sqrt(2.0); ++levels) density /= 2;
  return levels;
}

int32_t FloorPowerOfTwo(int32_t value) {
  int32_t p = 1;
  while (p <= value / 2) p *= 2;
  return p;
}

int32_t CeilPowerOfTwo(int32_t value) {
  int32_t p = 1;
  while (p < value && p <= (1 << 29)) p *= 2;
  return p;
}

namespace {

int32_t TileSide(int32_t side, int32_t tileLimit) {
  return std::min(FloorPowerOfTwo(tileLimit), CeilPowerOfTwo(side));
}

int32_t TilesAlong(int32_t side, int32_t tile) { return (side + tile - 1) / tile; }

}  // namespace

TileLayout ComputeTileLayout(int32_t pictureWidth, int32_t pictureHeight, int32_t tileLimit) {
  TileLayout layout;
  layout.pictureWidth = std::max(pictureWidth, 1);
  layout.pictureHeight = std::max(pictureHeight, 1);
  if (tileLimit < 1) tileLimit = kSlideTileLimit;
  layout.tileWidth = TileSide(layout.pictureWidth, tileLimit);
  layout.tileHeight = TileSide(layout.pictureHeight, tileLimit);
  layout.columns = TilesAlong(layout.pictureWidth, layout.tileWidth);
  layout.rows = TilesAlong(layout.pictureHeight, layout.tileHeight);
  return layout;
}

TileUpload TileUploadAt(const TileLayout& layout, int32_t index) {
  TileUpload upload;
  const int32_t columns = std::max(layout.columns, 1);
  upload.index = index;
  upload.column = index % columns;
  upload.row = index / columns;
  // Row 0 is the bottom of the picture, whose pixel rows run from the top.
  const int32_t rowFromTop = layout.rows - 1 - upload.row;
  upload.source.x = upload.column * layout.tileWidth;
  upload.source.y = rowFromTop * layout.tileHeight;
  upload.source.width = std::min(layout.tileWidth, layout.pictureWidth - upload.source.x);
  upload.source.height = std::min(layout.tileHeight, layout.pictureHeight - upload.source.y);
  upload.textureWidth = layout.tileWidth;
  upload.textureHeight = layout.tileHeight;
  upload.uMax = static_cast<float>(upload.source.width) / static_cast<float>(layout.tileWidth);
  upload.vMax = static_cast<float>(upload.source.height) / static_cast<float>(layout.tileHeight);
  return upload;
}

float ColumnEdge(const TileLayout& layout, int32_t i) {
  const int32_t x = std::min(i * layout.tileWidth, layout.pictureWidth);
  return static_cast<float>(x) / static_cast<float>(std::max(layout.pictureWidth, 1));
}

float RowEdge(const TileLayout& layout, int32_t j) {
  // Rows are cut from the top, so the bottom row holds what is left.
  const int32_t fromTop = std::min((layout.rows - j) * layout.tileHeight, layout.pictureHeight);
  return static_cast<float>(layout.pictureHeight - fromTop) /
         static_cast<float>(std::max(layout.pictureHeight, 1));
}
