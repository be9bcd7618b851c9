#include "slideshow/slide_layout.h"

#include <algorithm>

bool IsPowerOfTwoSide(int32_t side) { return side > 1 && (side & (side - 1)) == 0; }

int32_t EffectiveCramSize(int32_t cramSize) { return cramSize < 1 ? kDefaultCramSize : cramSize; }

int32_t PickTileSide(int32_t side, int32_t tileLimit) {
  if (tileLimit < 256) return tileLimit;
  int32_t best = tileLimit;
  int32_t bestRemainder = side % tileLimit;
  for (int32_t candidate = tileLimit; candidate > 0; candidate /= 2) {
    const int32_t remainder = side % candidate;
    if (remainder < bestRemainder) {
      best = candidate;
      bestRemainder = remainder;
    }
    if (candidate < 512) break;
  }
  return best;
}

TileLayout ComputeTileLayout(int32_t width, int32_t height, int32_t tileLimit, bool cram,
                             int32_t cramSize) {
  // Callers only pass decoded pictures; a limit of 0 would divide by zero.
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (tileLimit < 1) tileLimit = kSlideTileLimit;

  TileLayout layout;
  if (IsPowerOfTwoSide(width) && IsPowerOfTwoSide(height) && width <= tileLimit &&
      height <= tileLimit) {
    layout.single = true;
    layout.columns = layout.rows = 1;
    layout.tileWidth = layout.pictureWidth = layout.sourceWidth = layout.textureWidth = width;
    layout.tileHeight = layout.pictureHeight = layout.sourceHeight = layout.textureHeight = height;
    return layout;
  }

  int32_t w = width;
  int32_t h = height;
  if (cram) {
    cramSize = EffectiveCramSize(cramSize);
    if (cramSize < width) {
      layout.crammedWidth = cramSize;
      layout.crammed = true;
    }
    if (cramSize < height) {
      layout.crammedHeight = cramSize;
      layout.crammed = true;
    }
    if (layout.crammed) {
      if (layout.crammedWidth == 0) layout.crammedWidth = width;
      if (layout.crammedHeight == 0) layout.crammedHeight = height;
      w = layout.crammedWidth;
      h = layout.crammedHeight;
    }
  }

  layout.tileWidth = PickTileSide(w, tileLimit);
  layout.tileHeight = PickTileSide(h, tileLimit);
  layout.columns = std::max(w / layout.tileWidth, 1);
  layout.rows = std::max(h / layout.tileHeight, 1);
  layout.resize = w != layout.columns * layout.tileWidth || h != layout.rows * layout.tileHeight;
  layout.pictureWidth = layout.resize ? layout.columns * layout.tileWidth : width;
  layout.pictureHeight = layout.resize ? layout.rows * layout.tileHeight : height;
  layout.sourceWidth = layout.pictureWidth / layout.columns;
  layout.sourceHeight = layout.pictureHeight / layout.rows;
  layout.textureWidth = layout.crammed ? layout.crammedWidth / layout.columns : layout.sourceWidth;
  layout.textureHeight = layout.crammed ? layout.crammedHeight / layout.rows : layout.sourceHeight;
  return layout;
}

TileUpload TileUploadAt(const TileLayout& layout, int32_t index) {
  TileUpload upload;
  const int32_t columns = std::max(layout.columns, 1);
  upload.index = index;
  upload.column = index % columns;
  upload.row = index / columns;
  upload.fill = layout.single ? kTileFillWhole : layout.crammed ? kTileFillStretch : kTileFillPart;
  // Row 0 is the bottom of the picture, whose pixel rows run from the top.
  upload.source.x = upload.column * layout.sourceWidth;
  upload.source.y = (layout.rows - 1 - upload.row) * layout.sourceHeight;
  upload.source.width = layout.sourceWidth;
  upload.source.height = layout.sourceHeight;
  upload.textureWidth = layout.textureWidth;
  upload.textureHeight = layout.textureHeight;
  return upload;
}
