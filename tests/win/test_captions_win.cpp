// The caption renderer on a real DirectDraw device: the text drawn with GDI
// lands in the right textures, with alpha from brightness at 32 bits and
// plain colour at 16, copied at once or one texture per step.
#include <gtest/gtest.h>

#include <windows.h>

#include <ddraw.h>

#include <functional>
#include <memory>
#include <vector>

#include "graphics/graphics_layer_win32.h"
#include "graphics/texture_win32.h"
#include "slideshow/caption_renderer_win32.h"
#include "tests/support/hidden_window_win32.h"

namespace {

class CaptionRendererWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window.handle(), nullptr);
    cGraphicsLayer::CreateGraphicsLayer(window.handle(), false, 0, 0, 0, nullptr, nullptr);
    ASSERT_NE(theGraphicsLayer, nullptr);
  }
  void TearDown() override {
    textures.clear();
    delete theGraphicsLayer;
  }

  // A renderer the way the slideshow sets one up, with a large font so the
  // text is easy to find.
  void Prepare(CaptionRenderer& r, int limit, int bits) {
    r.SetFormat(17);
    r.SetSize(896, 256, limit, bits);
    r.SetBackground(RGB(0, 0, 0));
    r.SetShadow(1);
    r.SetShadowOffset(2);
    r.SetAlphaGain(10.0f);
    r.SetAlphaFromBrightness(bits == 32 ? 1 : 0);
    ASSERT_TRUE(r.SetFont("Arial", -60, 0, 700, RGB(255, 255, 255), 0, 0, 0, 4, 4, 0));
    textures.clear();
    set.clear();
    for (int k = 0; k < r.GetColumns() * r.GetRows(); ++k) {
      textures.push_back(std::make_unique<cTexture>());
      textures.back()->CreateSurfaceOfDepth(896 / r.GetColumns(), 256 / r.GetRows(), bits, 0, 1);
      set.push_back(textures.back().get());
    }
  }

  // Pixels of texture k for which `test`(pixel) holds.
  int Count(int k, const std::function<bool(uint32_t)>& test) {
    IDirectDrawSurface7* surface = textures[static_cast<size_t>(k)]->GetSurface();
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return -1;
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    int n = 0;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
      const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
      for (DWORD x = 0; x < desc.dwWidth; ++x) {
        uint32_t pixel = 0;
        memcpy(&pixel, row + x * bytes, static_cast<size_t>(bytes));
        if (test(pixel)) ++n;
      }
    }
    surface->Unlock(nullptr);
    return n;
  }

  HiddenWindow window{"ZvCaptionWinTestClass", 160, 120};
  std::vector<std::unique_ptr<cTexture>> textures;
  std::vector<cTexture*> set;
};

bool Opaque(uint32_t argb) { return (argb >> 24) == 255; }
bool Visible(uint32_t argb) { return (argb >> 24) != 0; }
// Opaque white text keeps its colour; the transparent background stays black.
bool WhiteAndOpaque(uint32_t argb) { return argb == 0xFFFFFFFF; }

TEST_F(CaptionRendererWin, ALimitOf128GivesTwoRowsAndTheUpperRowHoldsATopAlignedLine) {
  CaptionRenderer r;
  Prepare(r, 128, 32);
  ASSERT_EQ(r.GetColumns(), 7);
  ASSERT_EQ(r.GetRows(), 2);
  const int height = r.SetText("Centre", set.data(), static_cast<int>(set.size()));
  EXPECT_GT(height, 50);
  EXPECT_LT(height, 128);
  // Texture 10 is the middle of the upper row, where a short centred line is.
  EXPECT_GT(Count(10, WhiteAndOpaque), 100);
  EXPECT_GT(Count(10, Opaque), Count(10, WhiteAndOpaque));  // and its shadow
  // Nothing at the left end of the line, nothing in the lower row.
  EXPECT_EQ(Count(7, Visible), 0);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(Count(k, Visible), 0) << "texture " << k;

  // A grid that doesn't match, or no text, renders nothing and keeps the textures.
  EXPECT_EQ(r.SetText("Other", set.data(), 7), 0);
  EXPECT_EQ(r.SetText(nullptr, set.data(), 14), 0);
  EXPECT_GT(Count(10, WhiteAndOpaque), 100);
}

TEST_F(CaptionRendererWin, StepwiseCopiesOneTexturePerStep) {
  CaptionRenderer r;
  Prepare(r, 256, 32);
  ASSERT_EQ(r.GetColumns() * r.GetRows(), 7);
  r.SetText("", set.data(), 7);  // blank, at once
  EXPECT_EQ(Count(3, Visible), 0);
  r.SetStepwise(1);
  EXPECT_GT(r.SetText("Centre", set.data(), 7), 0);
  EXPECT_TRUE(r.Pending());
  EXPECT_EQ(Count(3, Visible), 0);  // drawn, not yet copied
  int steps = 1;
  while (r.Step()) ++steps;
  EXPECT_EQ(steps, 7);
  EXPECT_FALSE(r.Pending());
  EXPECT_GT(Count(3, WhiteAndOpaque), 100);
}

TEST_F(CaptionRendererWin, SixteenBitTexturesCarryTheColourOnly) {
  CaptionRenderer r;
  Prepare(r, 256, 16);
  ASSERT_EQ(r.GetColumns(), 7);
  ASSERT_EQ(r.GetRows(), 1);
  EXPECT_GT(r.SetText("Centre", set.data(), 7), 0);
  // White in R5 G6 B5, on black; the outer textures stay black.
  EXPECT_GT(Count(3, [](uint32_t p) { return (p & 0xFFFF) == 0xFFFF; }), 100);
  EXPECT_EQ(Count(0, [](uint32_t p) { return (p & 0xFFFF) != 0; }), 0);
}

}  // namespace
