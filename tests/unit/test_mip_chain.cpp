#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/layer_flags.h"
#include "graphics/mip_chain.h"

namespace {

TEST(MipChain, LevelCountRule) {
  struct Case {
    uint32_t width, height;
    int asked, levels;
  };
  const Case cases[] = {
      {1, 1, 5, 1},       {1, 1, 1, 1},       {64, 64, 20, 7},   {64, 64, 7, 7},
      {64, 64, 6, 6},     {64, 64, 3, 3},     {64, 64, 1, 1},    {64, 64, 0, 1},
      {64, 64, -4, 1},    {256, 512, 9, 9},   {256, 512, 10, 9}, {256, 512, 40, 9},
      {512, 256, 12, 9},  {256, 256, 8, 8},   {2, 8, 2, 2},      {2, 8, 3, 2},
      {256, 64, 100, 7},  {1u << 31, 4, 33, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MipLevelCount(c.width, c.height, c.asked), c.levels)
        << c.width << "x" << c.height << " asked " << c.asked;
  }
}

// A level as rows of pixels with a little padding, as locked surfaces have.
template <class Pixel>
struct Level {
  Level(int32_t w, int32_t h) : width(w), height(h), pitch(static_cast<int32_t>((w + 3) * sizeof(Pixel))),
                                bytes(static_cast<size_t>(pitch) * h, 0xEE) {}
  MipPlane Plane() { return MipPlane{bytes.data(), pitch, width, height}; }
  Pixel& At(int32_t x, int32_t y) { return reinterpret_cast<Pixel*>(bytes.data() + y * pitch)[x]; }
  int32_t width, height, pitch;
  std::vector<uint8_t> bytes;
};

TEST(MipChain, ThirtyTwoBitsAverageEachByteTruncating) {
  Level<uint32_t> parent(4, 2);
  const uint32_t top[2][4] = {{0x10203040, 0x12223242, 0xFF000000, 0x01010101},
                              {0x14243444, 0x16263646, 0x00FF0000, 0x02020202}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) parent.At(x, y) = top[y][x];
  }
  Level<uint32_t> child(2, 1);
  AverageMipLevel32(parent.Plane(), child.Plane());
  EXPECT_EQ(child.At(0, 0), 0x13233343u);
  EXPECT_EQ(child.At(1, 0), 0x40400000u);  // 0x102 / 4 and 3 / 4, no carry between bytes
  // The padding after the row is left alone.
  EXPECT_EQ(child.bytes[2 * sizeof(uint32_t)], 0xEE);
}

TEST(MipChain, SixteenBitsAverageUnderTheMasks) {
  Level<uint16_t> parent(2, 2);
  // Red 31, 0, 0, 2 -> 8; green 63, 63, 0, 1 -> 31; blue 1, 1, 1, 0 -> 0.
  parent.At(0, 0) = (31 << 11) | (63 << 5) | 1;
  parent.At(1, 0) = (0 << 11) | (63 << 5) | 1;
  parent.At(0, 1) = (0 << 11) | (0 << 5) | 1;
  parent.At(1, 1) = (2 << 11) | (1 << 5) | 0;
  Level<uint16_t> child(1, 1);
  AverageMipLevel16(parent.Plane(), child.Plane(), 0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(child.At(0, 0), (8 << 11) | (31 << 5) | 0);

  // Bits outside the three masks (an alpha bit of 1-5-5-5) are dropped.
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) parent.At(x, y) = 0x8000 | (10 << 10) | (20 << 5) | 30;
  }
  AverageMipLevel16(parent.Plane(), child.Plane(), 0x7C00, 0x03E0, 0x001F);
  EXPECT_EQ(child.At(0, 0), (10 << 10) | (20 << 5) | 30);
}

TEST(MipChain, ParentOfOnePixelSideIsNotReadPast) {
  // 1 x 4 -> 1 x 2: the second column of each quad is the first one again.
  Level<uint32_t> parent(1, 4);
  parent.At(0, 0) = 0x00000004;
  parent.At(0, 1) = 0x00000008;
  parent.At(0, 2) = 0x40000000;
  parent.At(0, 3) = 0x00000000;
  Level<uint32_t> child(1, 2);
  AverageMipLevel32(parent.Plane(), child.Plane());
  EXPECT_EQ(child.At(0, 0), 0x00000006u);
  EXPECT_EQ(child.At(0, 1), 0x20000000u);

  // An odd side: the last child pixel reuses the parent's last column.
  Level<uint16_t> odd(3, 1);
  odd.At(0, 0) = 4;
  odd.At(1, 0) = 8;
  odd.At(2, 0) = 12;
  Level<uint16_t> half(2, 1);
  AverageMipLevel16(odd.Plane(), half.Plane(), 0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(half.At(0, 0), 6);
  EXPECT_EQ(half.At(1, 0), 12);
}

TEST(LayerFlags, ZFormatRule) {
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer, 16, 0));
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer, 15, 0));
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer, 16, 1));   // depth is what the stencil leaves
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer, 16, 2));
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer, 8, 0));
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer24, 24, 8));  // only 16 bits of depth
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer24, 32, 8));
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer24, 24, 0));
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer | kGraphicsStencil1, 16, 0));
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer | kGraphicsStencil1, 16, 1));
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer | kGraphicsStencil8, 32, 1));
  EXPECT_TRUE(ZFormatPasses(kGraphicsZBuffer | kGraphicsStencil8, 32, 8));
  EXPECT_FALSE(ZFormatPasses(kGraphicsZBuffer, 4, 8));  // a broken entry, not a huge depth
  EXPECT_FALSE(WantsZBuffer(kGraphicsStencil8 | kGraphicsNoSoftware | kGraphicsFullScreen16));
  EXPECT_TRUE(WantsZBuffer(kGraphicsZBuffer24));
}

}  // namespace
