#include "slideshow/caption_layout.h"

#include <algorithm>

int32_t CaptionTileSide(int32_t extent, int32_t tileLimit) {
  if (tileLimit <= 1) return 1;
  int32_t best = tileLimit;
  int32_t bestRemainder = extent % tileLimit;
  for (int32_t candidate = tileLimit; candidate >= 4;) {
    candidate /= 2;
    const int32_t remainder = extent % candidate;
    if (remainder < bestRemainder) {
      best = candidate;
      bestRemainder = remainder;
    }
  }
  return best;
}

CaptionGrid CaptionGridFor(int32_t width, int32_t height, int32_t tileLimit) {
  CaptionGrid grid;
  grid.tileWidth = CaptionTileSide(width, tileLimit);
  grid.tileHeight = CaptionTileSide(height, tileLimit);
  grid.columns = width / grid.tileWidth;
  grid.rows = height / grid.tileHeight;
  return grid;
}

Rect CaptionTileSource(const CaptionGrid& grid, int32_t k) {
  Rect r;
  if (grid.columns <= 0) return r;
  const int32_t column = k % grid.columns;
  const int32_t row = k / grid.columns;
  r.left = column * grid.tileWidth;
  r.top = (grid.rows - 1 - row) * grid.tileHeight;
  r.right = r.left + grid.tileWidth;
  r.bottom = r.top + grid.tileHeight;
  return r;
}

uint8_t AlphaFromBrightness(uint8_t red, uint8_t green, uint8_t blue, float gain) {
  const int32_t sum = red + green + blue;
  if (sum == 0) return 0;
  if (gain <= 0.0f) return 255;
  // The gain is a float ratio (10/255); the small bias keeps exact
  // products such as 8.5 x 2 = 17 from truncating to 16.
  const double alpha = 255.0 * sum / (765.0 * static_cast<double>(gain)) + 1e-4;
  return alpha >= 255.0 ? 255 : static_cast<uint8_t>(alpha);
}

void ApplyAlphaFromBrightness(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                              float gain) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = pixels + static_cast<intptr_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x, p += 4) p[3] = AlphaFromBrightness(p[2], p[1], p[0], gain);
  }
}

float CaptionOffsetFor(int32_t textHeight, float stripHeight) {
  return static_cast<float>(std::max(textHeight, 0) + kCaptionBottomMargin) /
         static_cast<float>(kCaptionAreaHeight) * stripHeight;
}

float CaptionCentreY(float viewBottom, float stripHeight, float captionOffset) {
  return viewBottom - stripHeight / 2.0f + captionOffset;
}

CaptionAlphas CaptionAlphasFor(bool openingFade, bool crossfade, bool inTransition,
                               float brightnessRed, float progress) {
  CaptionAlphas a;
  if (openingFade || !crossfade) {
    a.current = brightnessRed;
  } else if (inTransition) {
    const float q = 1.0f - progress;
    a.current = q * q * q * q;
  }
  const float p2 = progress * progress;
  a.next = p2 * p2;
  return a;
}

uint32_t CaptionFormatFor(int32_t orientation) {
  if (orientation == 1) return kCaptionWordBreak | kCaptionCentre;
  if (orientation == 2) return kCaptionWordBreak | kCaptionRight;
  return kCaptionWordBreak;
}

int32_t CaptionFontQuality(int32_t osVersion) { return osVersion > 5 ? 5 : 4; }

Rect FastCaptionMeasureRect(int32_t w, int32_t h) { return {w, h, 2 * w - 100, h + 10000}; }

Rect FastCaptionShadowRect(int32_t w, int32_t h, int32_t textHeight) {
  return {52, h - textHeight - 8, w - 48, h};
}

Rect FastCaptionTextRect(int32_t w, int32_t h, int32_t textHeight) {
  return {50, h - textHeight - 10, w - 50, h};
}
