#include <gtest/gtest.h>

#include <vector>

#include "slideshow/caption_layout.h"
#include "slideshow/caption_strip.h"

namespace {

TEST(CaptionGrid, TileSizesFollowTheTextureLimit) {
  CaptionGrid g = CaptionGridFor(896, 256, 256);
  EXPECT_EQ(g.tileWidth, 128);
  EXPECT_EQ(g.tileHeight, 256);
  EXPECT_EQ(g.columns, 7);
  EXPECT_EQ(g.rows, 1);

  g = CaptionGridFor(896, 256, 128);
  EXPECT_EQ(g.tileWidth, 128);
  EXPECT_EQ(g.tileHeight, 128);
  EXPECT_EQ(g.columns, 7);
  EXPECT_EQ(g.rows, 2);

  // The smallest remainder wins, the larger candidate on a tie.
  EXPECT_EQ(CaptionTileSide(300, 256), 4);   // 300 = 75 x 4, nothing larger divides it
  EXPECT_EQ(CaptionTileSide(301, 256), 4);   // 4 leaves 1; 2 only ties it
  EXPECT_EQ(CaptionTileSide(640, 256), 128);
  EXPECT_EQ(CaptionTileSide(896, 1), 1);
  EXPECT_EQ(CaptionTileSide(5, 3), 3);       // a limit below 4 has no smaller candidates
}

TEST(CaptionGrid, EachTextureTakesItsPartOfTheAreaRowsFromTheBottom) {
  const CaptionGrid g = CaptionGridFor(896, 256, 128);
  // Texture 0 is the lower left tile: the lower half of the drawing area.
  Rect r = CaptionTileSource(g, 0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 128);
  EXPECT_EQ(r.bottom, 256);
  // Texture 7 starts the upper row and shows the upper half of the text.
  r = CaptionTileSource(g, 7);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  r = CaptionTileSource(g, 13);
  EXPECT_EQ(r.left, 768);
  EXPECT_EQ(r.right, 896);
  EXPECT_EQ(r.top, 0);
  // Every pixel of the area goes to exactly one texture.
  std::vector<int> covered(896 * 256, 0);
  for (int k = 0; k < g.Count(); ++k) {
    const Rect t = CaptionTileSource(g, k);
    for (int y = t.top; y < t.bottom; ++y)
      for (int x = t.left; x < t.right; ++x) ++covered[static_cast<size_t>(y * 896 + x)];
  }
  for (int c : covered) ASSERT_EQ(c, 1);
}

TEST(CaptionAlpha, BrightnessBecomesOpacity) {
  const float gain = 10.0f / 255.0f;
  EXPECT_EQ(AlphaFromBrightness(0, 0, 0, gain), 0);
  EXPECT_EQ(AlphaFromBrightness(1, 0, 0, gain), 8);    // 8.5 truncated
  EXPECT_EQ(AlphaFromBrightness(1, 1, 0, gain), 17);
  EXPECT_EQ(AlphaFromBrightness(10, 10, 10, gain), 255);  // the shadow grey is opaque
  EXPECT_EQ(AlphaFromBrightness(10, 10, 9, gain), 246);
  EXPECT_EQ(AlphaFromBrightness(255, 255, 255, gain), 255);
  EXPECT_EQ(AlphaFromBrightness(255, 0, 0, 1.0f), 85);  // no gain: the plain mean

  // In a 32-bit picture (blue, green, red, alpha) only alpha changes, row by row.
  std::vector<uint8_t> pixels = {1, 1, 0, 77, 0, 0, 0, 200, 0xEE, 0xEE,
                                 10, 10, 10, 30, 0, 0, 0, 9, 0, 0xEE};  // two rows, pitch 10
  ApplyAlphaFromBrightness(pixels.data(), 2, 2, 10, gain);
  EXPECT_EQ(pixels[3], 17);
  EXPECT_EQ(pixels[7], 0);
  EXPECT_EQ(pixels[8], 0xEE);  // padding untouched
  EXPECT_EQ(pixels[13], 255);
  EXPECT_EQ(pixels[17], 0);
  EXPECT_EQ(pixels[19], 0xEE);
  EXPECT_EQ(pixels[0], 1);
}

TEST(CaptionPlacement, OffsetGrowsWithTheTextAboveTheBottomMargin) {
  const float h = kCaptionStripHeight;
  EXPECT_FLOAT_EQ(CaptionOffsetFor(0, h), 10.0f / 256.0f * h);  // a failed rendering
  const float oneLine = CaptionOffsetFor(22, h);
  const float threeLines = CaptionOffsetFor(66, h);
  EXPECT_FLOAT_EQ(oneLine, 32.0f / 256.0f * h);
  EXPECT_GT(threeLines, oneLine);
  // The strip's upper edge lies the offset above the bottom of the view.
  const float centre = CaptionCentreY(-0.75f, h, oneLine);
  EXPECT_FLOAT_EQ(centre + h / 2.0f, -0.75f + oneLine);
}

TEST(CaptionPlacement, StripTilesCoverTheStripCentredOnTheOrigin) {
  cTexture* set[14];
  for (int k = 0; k < 14; ++k) set[k] = reinterpret_cast<cTexture*>(static_cast<intptr_t>(k + 1));
  CaptionStrip strip;
  strip.stripWidth = kCaptionStripWidth;
  strip.stripHeight = kCaptionStripHeight;
  strip.Build(7, 2, set);
  EXPECT_FLOAT_EQ(strip.Tile(0, 0).left, -0.75f);
  EXPECT_FLOAT_EQ(strip.Tile(6, 1).right, 0.75f);
  EXPECT_FLOAT_EQ(strip.Tile(0, 0).bottom, -kCaptionStripHeight / 2.0f);
  EXPECT_FLOAT_EQ(strip.Tile(0, 1).top, kCaptionStripHeight / 2.0f);
  EXPECT_FLOAT_EQ(strip.Tile(0, 0).top, strip.Tile(0, 1).bottom);
  EXPECT_FLOAT_EQ(strip.Tile(2, 0).right, strip.Tile(3, 0).left);
  // Tile (i, j) shows texture i + j x columns; a new set replaces them all.
  EXPECT_EQ(strip.Tile(3, 1).texture, set[10]);
  cTexture* other[14] = {};
  strip.SetTextures(other);
  EXPECT_EQ(strip.Tile(3, 1).texture, nullptr);
}

TEST(CaptionFading, BothCaptionsAreFaintInTheMiddleOfACrossfade) {
  CaptionAlphas a = CaptionAlphasFor(false, true, true, 1.0f, 0.5f);
  EXPECT_FLOAT_EQ(a.current, 0.0625f);
  EXPECT_FLOAT_EQ(a.next, 0.0625f);
  a = CaptionAlphasFor(false, true, true, 1.0f, 0.9f);
  EXPECT_NEAR(a.current, 0.0001f, 1e-6f);
  EXPECT_NEAR(a.next, 0.6561f, 1e-6f);
  // Opening fade, and fading through black, follow the brightness.
  EXPECT_FLOAT_EQ(CaptionAlphasFor(true, true, false, 0.3f, 0.0f).current, 0.3f);
  EXPECT_FLOAT_EQ(CaptionAlphasFor(false, false, true, 0.2f, 0.4f).current, 0.2f);
  EXPECT_FLOAT_EQ(CaptionAlphasFor(false, true, false, 0.2f, 0.0f).current, 1.0f);
}

TEST(CaptionPlacement, FormatsQualityAndFastModeRectangles) {
  EXPECT_EQ(CaptionFormatFor(0), 16u);
  EXPECT_EQ(CaptionFormatFor(1), 17u);
  EXPECT_EQ(CaptionFormatFor(2), 18u);
  EXPECT_EQ(CaptionFormatFor(7), 16u);
  EXPECT_EQ(CaptionFontQuality(5), 4);
  EXPECT_EQ(CaptionFontQuality(6), 5);

  const Rect m = FastCaptionMeasureRect(1024, 768);
  EXPECT_EQ(m.right - m.left, 1024 - 100);  // the final width, out of sight
  EXPECT_GE(m.top, 768);
  const Rect s = FastCaptionShadowRect(1024, 768, 40);
  const Rect t = FastCaptionTextRect(1024, 768, 40);
  EXPECT_EQ(t.left, 50);
  EXPECT_EQ(t.right, 974);
  EXPECT_EQ(t.top, 768 - 40 - 10);
  EXPECT_EQ(s.left - t.left, 2);
  EXPECT_EQ(s.top - t.top, 2);
  EXPECT_EQ(t.bottom, 768);
}

}  // namespace
