#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <stb_image_resize.h>

#include "bundle/resampler.h"

namespace {

struct Picture {
  int width;
  int height;
  std::vector<uint8_t> pixels;
};

// Opaque noise: the hardest case for rounding and for taps near the edges.
Picture Noise(int width, int height, uint32_t seed) {
  Picture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    picture.pixels[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(seed >> 24);
  }
  return picture;
}

// The largest difference per channel value from stb's float resampler, an
// independent implementation of the same filters and edge rule.
int LargestDifferenceFromStb(const Picture& from, int width, int height, ResampleKernel kernel,
                             stbir_filter filter) {
  std::vector<uint8_t> ours(static_cast<size_t>(width) * height * 4, 7);
  std::vector<uint8_t> theirs(ours.size(), 9);
  EXPECT_TRUE(ResampleOpaque(from.pixels.data(), from.width, from.height, static_cast<size_t>(from.width) * 4,
                             ours.data(), width, height, static_cast<size_t>(width) * 4, kernel));
  EXPECT_TRUE(stbir_resize_uint8_generic(from.pixels.data(), from.width, from.height, from.width * 4,
                                         theirs.data(), width, height, width * 4, 4,
                                         STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, filter,
                                         STBIR_COLORSPACE_LINEAR, nullptr));
  int largest = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    if (i % 4 == 3) {
      EXPECT_EQ(ours[i], 255) << "alpha at " << i / 4;
    }
    largest = std::max(largest, std::abs(ours[i] - theirs[i]));
  }
  return largest;
}

}  // namespace

TEST(Resampler, AgreesWithAFloatResamplerAcrossSizesAndFilters) {
  // Shrinking by less than 2 (after a scaled decode), by much more, growing,
  // one axis each way, odd and tiny sides (one-pixel rows and columns, where
  // a tap pair reaches past the edge).
  const struct {
    int fromWidth, fromHeight, toWidth, toHeight;
  } cases[] = {{300, 200, 162, 108}, {257, 131, 61, 29}, {64, 48, 203, 151}, {97, 33, 40, 80},
               {1, 1, 5, 3},         {7, 1, 3, 1},       {1, 9, 1, 4},      {5, 5, 5, 2},
               {2, 3, 1, 1},         {33, 17, 33, 17}};
  const struct {
    ResampleKernel kernel;
    stbir_filter filter;
  } filters[] = {{ResampleKernel::Box, STBIR_FILTER_BOX},
                 {ResampleKernel::Triangle, STBIR_FILTER_TRIANGLE},
                 {ResampleKernel::Mitchell, STBIR_FILTER_MITCHELL},
                 {ResampleKernel::CatmullRom, STBIR_FILTER_CATMULLROM}};
  uint32_t seed = 1;
  for (const auto& c : cases) {
    const Picture from = Noise(c.fromWidth, c.fromHeight, ++seed);
    for (const auto& f : filters) {
      // stb's box takes exact coverage where ours samples the box, which
      // differs only where a box edge cuts a source pixel.
      const bool fractionalBox = f.kernel == ResampleKernel::Box &&
                                 (c.fromWidth % c.toWidth != 0 || c.fromHeight % c.toHeight != 0);
      if (fractionalBox) continue;
      EXPECT_LE(LargestDifferenceFromStb(from, c.toWidth, c.toHeight, f.kernel, f.filter), 1)
          << c.fromWidth << "x" << c.fromHeight << " to " << c.toWidth << "x" << c.toHeight << ", filter "
          << static_cast<int>(f.kernel);
    }
  }
}

TEST(Resampler, FlatColourAndRowStridesStayExact) {
  // A padded source row (stride beyond the width) must not leak its padding,
  // and a flat colour must come out unchanged by any filter.
  const int width = 37, height = 23, stride = width * 4 + 12;
  std::vector<uint8_t> source(static_cast<size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &source[static_cast<size_t>(y) * stride + x * 4];
      p[0] = 10, p[1] = 200, p[2] = 99, p[3] = 255;
    }
  for (ResampleKernel kernel : {ResampleKernel::Box, ResampleKernel::Triangle, ResampleKernel::Smooth}) {
    for (const auto& to : {std::pair<int, int>{11, 9}, std::pair<int, int>{80, 51}}) {
      const int targetStride = to.first * 4 + 8;
      std::vector<uint8_t> target(static_cast<size_t>(targetStride) * to.second, 1);
      ASSERT_TRUE(ResampleOpaque(source.data(), width, height, stride, target.data(), to.first, to.second,
                                 targetStride, kernel));
      for (int y = 0; y < to.second; ++y) {
        const uint8_t* row = &target[static_cast<size_t>(y) * targetStride];
        for (int x = 0; x < to.first; ++x) {
          ASSERT_EQ(row[x * 4 + 0], 10);
          ASSERT_EQ(row[x * 4 + 1], 200);
          ASSERT_EQ(row[x * 4 + 2], 99);
          ASSERT_EQ(row[x * 4 + 3], 255);
        }
        for (int x = to.first * 4; x < targetStride; ++x) ASSERT_EQ(row[x], 1) << "row padding written";
      }
    }
  }
  EXPECT_FALSE(ResampleOpaque(source.data(), 0, height, stride, source.data(), 4, 4, 16, ResampleKernel::Box));
}
