#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "slideshow/fast_effects.h"

namespace {

// A screen of pixel values: the old picture holds -1 - index, the new one index.
struct Screen {
  Screen(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w * h)) {
    for (int32_t i = 0; i < w * h; ++i) pixels[static_cast<size_t>(i)] = -1 - i;
  }
  int32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * width + x)]; }
  int32_t NewAt(int32_t x, int32_t y) const { return y * width + x; }
  int32_t OldAt(int32_t x, int32_t y) const { return -1 - (y * width + x); }

  // Applies the copies; a move within the screen reads the screen as it was
  // before that copy, as a block transfer does.
  void Apply(const std::vector<EffectCopy>& copies, std::vector<int>* newWrites = nullptr) {
    for (const EffectCopy& c : copies) {
      ASSERT_GE(c.x, 0);
      ASSERT_GE(c.y, 0);
      ASSERT_LE(c.x + c.width, width);
      ASSERT_LE(c.y + c.height, height);
      ASSERT_LE(c.sourceX + c.width, width);
      ASSERT_LE(c.sourceY + c.height, height);
      const std::vector<int32_t> before = pixels;
      for (int32_t y = 0; y < c.height; ++y) {
        for (int32_t x = 0; x < c.width; ++x) {
          const int32_t sx = c.sourceX + x, sy = c.sourceY + y;
          int32_t value = c.source == kFromNewPicture ? NewAt(sx, sy)
                                                      : before[static_cast<size_t>(sy * width + sx)];
          At(c.x + x, c.y + y) = value;
          if (newWrites && c.source == kFromNewPicture)
            ++(*newWrites)[static_cast<size_t>((c.y + y) * width + c.x + x)];
        }
      }
    }
  }
  bool ShowsNewPicture() const {
    for (int32_t i = 0; i < width * height; ++i)
      if (pixels[static_cast<size_t>(i)] != i) return false;
    return true;
  }

  int32_t width, height;
  std::vector<int32_t> pixels;
};

int32_t Lcg() {
  static uint32_t seed = 12345;
  seed = seed * 1103515245u + 12345u;
  return static_cast<int32_t>((seed >> 16) & 0x7FFF);
}

// Runs the effect with `stride` lines per step; checks `atPosition` after each step.
template <typename Check>
void Play(int32_t effect, int32_t w, int32_t h, int32_t stride, Screen& screen, Check atPosition,
         std::vector<int>* newWrites = nullptr) {
  FastEffect fx(effect, w, h, Lcg);
  ASSERT_FALSE(fx.Skipped());
  for (int32_t pos = 0; pos < fx.Lines();) {
    const int32_t to = std::min(pos + stride, fx.Lines());
    screen.Apply(fx.Step(pos, to), newWrites);
    pos = to;
    atPosition(pos);
  }
}

const int32_t kSizes[][2] = {{40, 30}, {37, 23}, {5, 4}};

TEST(FastEffects, EveryEffectEndsOnTheNewPicture) {
  for (const auto& size : kSizes) {
    for (int32_t effect = 0; effect <= 13; ++effect) {
      for (int32_t stride : {1, 3, 1000}) {
        Screen screen(size[0], size[1]);
        FastEffect probe(effect, size[0], size[1], Lcg);
        if (probe.Skipped()) continue;
        Play(effect, size[0], size[1], stride, screen, [](int32_t) {});
        EXPECT_TRUE(screen.ShowsNewPicture()) << effect << " " << size[0] << "x" << size[1] << " /" << stride;
      }
    }
  }
}

TEST(FastEffects, RandomAndWipingEffectsRevealEachLineOnceInOrder) {
  const int32_t w = 37, h = 23;
  for (int32_t effect : {1, 2, 3, 4}) {
    Screen screen(w, h);
    std::vector<int> writes(static_cast<size_t>(w * h), 0);
    const bool columns = effect % 2 == 1;
    Play(effect, w, h, 1, screen, [&](int32_t pos) {
      if (effect < 3) return;
      // A wipe shows exactly the first `pos` lines of the new picture.
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const bool revealed = (columns ? x : y) < pos;
          ASSERT_EQ(screen.At(x, y) == screen.NewAt(x, y), revealed) << effect << " at " << pos;
        }
    }, &writes);
    for (int n : writes) EXPECT_EQ(n, 1) << effect;
  }
}

TEST(FastEffects, RaggedWipesRevealOnlyAheadOfTheStraightEdge) {
  const int32_t w = 300, h = 40;
  for (int32_t effect : {5, 6}) {
    Screen screen(w, h);
    const bool columns = effect == 5;
    Play(effect, w, h, 7, screen, [&](int32_t pos) {
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const int32_t along = columns ? x : y;
          if (along < pos) {
            ASSERT_EQ(screen.At(x, y), screen.NewAt(x, y));
          }
          // Blocks reach at most 199 + 4 pixels past the edge.
          if (along >= pos + 203) {
            ASSERT_EQ(screen.At(x, y), screen.OldAt(x, y));
          }
        }
    });
  }
}

TEST(FastEffects, SplitSlidesMoveTheOldHalvesApart) {
  const int32_t w = 37, h = 23;
  Screen screen(w, h);
  Play(7, w, h, 3, screen, [&](int32_t p) {
    for (int32_t x = 0; x < w; ++x) {
      // Upper half: new from the left, then the old picture shifted right.
      const int32_t upper = x < p ? screen.NewAt(x, 2) : screen.OldAt(x - p, 2);
      ASSERT_EQ(screen.At(x, 2), upper) << "x " << x << " at " << p;
      // Lower half: the old picture shifted left, then new from the right.
      const int32_t lower = x < w - p ? screen.OldAt(x + p, 20) : screen.NewAt(x, 20);
      ASSERT_EQ(screen.At(x, 20), lower) << "x " << x << " at " << p;
    }
  });
  Screen vertical(w, h);
  Play(8, w, h, 2, vertical, [&](int32_t p) {
    for (int32_t y = 0; y < h; ++y) {
      ASSERT_EQ(vertical.At(3, y), y < p ? vertical.NewAt(3, y) : vertical.OldAt(3, y - p));
      ASSERT_EQ(vertical.At(30, y), y < h - p ? vertical.OldAt(30, y + p) : vertical.NewAt(30, y));
    }
  });
}

TEST(FastEffects, CentreOpeningAndClosingDoors) {
  const int32_t w = 40, h = 6, m = 20;
  Screen opening(w, h);
  Play(9, w, h, 3, opening, [&](int32_t d) {
    for (int32_t x = 0; x < w; ++x) {
      int32_t want;
      if (x < m - d) want = opening.OldAt(x + d, 1);
      else if (x < m + d) want = opening.NewAt(x, 1);
      else want = opening.OldAt(x - d, 1);
      ASSERT_EQ(opening.At(x, 1), want) << "x " << x << " at " << d;
    }
  });
  Screen doors(w, h);
  Play(11, w, h, 1, doors, [&](int32_t p) {
    for (int32_t x = 0; x < w; ++x) {
      int32_t want = doors.OldAt(x, 4);
      if (x < p) want = doors.NewAt(m - p + x, 4);
      if (x >= w - p) want = doors.NewAt(m + x - (w - p), 4);
      ASSERT_EQ(doors.At(x, 4), want) << "x " << x << " at " << p;
    }
  });
}

TEST(FastEffects, SmallScreensAndTiming) {
  EXPECT_TRUE(FastEffect(3, 1, 100, Lcg).Skipped());
  EXPECT_FALSE(FastEffect(4, 1, 100, Lcg).Skipped());
  EXPECT_TRUE(FastEffect(9, 2, 100, Lcg).Skipped());  // 2 / 2 + 1 is not below 2
  EXPECT_FALSE(FastEffect(9, 3, 100, Lcg).Skipped());
  EXPECT_TRUE(FastEffect(12, 100, 3, Lcg).Skipped());  // half of 3 is below 2
  EXPECT_EQ(FastEffect(1, 1024, 768, Lcg).Lines(), 1024);
  EXPECT_EQ(FastEffect(10, 1024, 768, Lcg).Lines(), 384);
  EXPECT_EQ(FastEffect(7, 1024, 768, Lcg).PollMs(), 2);
  // 1500 ms over 1024 lines: a line per 1.46 ms of the effect's clock.
  EXPECT_EQ(FastEffect::LinesDue(0.2, 1500, 1024), 0);
  EXPECT_EQ(FastEffect::LinesDue(15.0, 1500, 1024), 10);
  EXPECT_EQ(FastEffect::LinesDue(750.0, 1500, 1024), 512);
  EXPECT_EQ(FastEffect::LinesDue(1e9, 1500, 1024), 1024);
  EXPECT_EQ(FastEffect::LinesDue(5.0, 0, 1024), 1024);
  EXPECT_DOUBLE_EQ(FastEffect::DueMs(512, 1500, 1024), 750.0);
  EXPECT_DOUBLE_EQ(FastEffect::DueMs(1024, 1500, 1024), 1500.0);
  // Stepping by what is due, each step late by a fixed overshoot, still
  // ends on time: the overshoot does not accumulate.
  int32_t position = 0;
  double clock = 0.0;
  int steps = 0;
  while (position < 1024) {
    position = std::max(position + 1, FastEffect::LinesDue(clock, 1500, 1024));
    position = std::min(position, 1024);
    clock = std::max(clock + 0.4, FastEffect::DueMs(position, 1500, 1024)) + 1.7;
    ++steps;
  }
  EXPECT_LT(clock, 1500.0 + 5.0);
  EXPECT_LT(steps, 1024);
}

}  // namespace

#include "slideshow/picture_fit.h"

namespace {

TEST(PictureFit, FitsInsideWithTheRecordsProportions) {
  struct Case {
    int32_t a, b, w, h, fw, fh;
  } cases[] = {
      {3000, 2000, 1024, 768, 1024, 682},  // 3:2 letterboxed
      {2000, 3000, 1024, 768, 512, 768},   // portrait pillarboxed
      {4, 3, 1024, 768, 1024, 768},        // the screen's own shape
      {1, 1, 1024, 768, 768, 768},
      {6000, 1000, 1280, 1024, 1280, 213},  // a panorama
      {0, 0, 1024, 768, 1024, 768},         // no usable record
  };
  for (const Case& c : cases) {
    const FittedSize s = FitInside(c.a, c.b, c.w, c.h);
    EXPECT_EQ(s.width, c.fw) << c.a << "x" << c.b;
    EXPECT_EQ(s.height, c.fh) << c.a << "x" << c.b;
  }
}

}  // namespace
