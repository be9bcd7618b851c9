#include <gtest/gtest.h>

#include "slideshow/frame_stats.h"

namespace {

TEST(FrameStatistics, AveragesOneSamplePerQuarterSecond) {
  FrameStatistics stats;
  // 24 frames of 10 ms: still inside the first window, the average stays at 100.
  for (int i = 0; i < 24; ++i) stats.AddFrame(10.9f);
  EXPECT_EQ(stats.runTime, 240);  // each frame counts whole milliseconds
  EXPECT_EQ(stats.fpsSamples, 0);
  EXPECT_FLOAT_EQ(stats.averageFps, 100.0f);

  stats.AddFrame(10.0f);  // 250 ms in 25 frames: 100 per second
  EXPECT_EQ(stats.fpsSamples, 1);
  EXPECT_FLOAT_EQ(stats.averageFps, 100.0f);
  EXPECT_EQ(stats.windowTime, 0);
  EXPECT_EQ(stats.windowFrames, 0);

  // One slow frame of 500 ms: 1000/500*1 = 2 per second; the 250 ms beyond
  // the window stay for the next one, which the next frame completes.
  stats.AddFrame(500.0f);
  EXPECT_EQ(stats.fpsSamples, 2);
  EXPECT_FLOAT_EQ(stats.averageFps, 51.0f);
  EXPECT_EQ(stats.windowTime, 250);
  stats.AddFrame(0.0f);
  EXPECT_EQ(stats.fpsSamples, 3);
  EXPECT_FLOAT_EQ(stats.fpsSum, 100.0f + 2.0f + 4.0f);
}

// Which of the three windows fires at a run time, for a slow machine.
TEST(AutoPerformance, WindowsAtTheEightSecondDelay) {
  struct Case {
    int32_t runTime;
    bool cramOn;
    int32_t cramSize;
    bool endRule;
  } cases[] = {
      {5000, false, 0, false},    {5001, true, 1536, false}, {5999, true, 1536, false},
      {6000, false, 0, false},    {11000, false, 0, false},  {11001, false, 1024, false},
      {11999, false, 1024, false}, {12000, false, 0, false}, {19000, false, 0, false},
      {19001, false, 512, true},  {19999, false, 512, true}, {20000, false, 0, false},
  };
  for (const Case& c : cases) {
    const PerformanceAction a = AutoPerformanceStep(c.runTime, 12.0f, 8.0f);
    EXPECT_EQ(a.cramOn, c.cramOn) << c.runTime;
    EXPECT_EQ(a.cramSize, c.cramSize) << c.runTime;
    EXPECT_EQ(a.endRule, c.endRule) << c.runTime;
  }
}

TEST(AutoPerformance, FastMachineOnlyEndsTheRule) {
  for (int32_t t : {5500, 11500}) {
    const PerformanceAction a = AutoPerformanceStep(t, 20.0f, 8.0f);
    EXPECT_FALSE(a.cramOn || a.cramSize != 0 || a.endRule) << t;
  }
  const PerformanceAction third = AutoPerformanceStep(19500, 60.0f, 8.0f);
  EXPECT_TRUE(third.endRule);
  EXPECT_EQ(third.cramSize, 0);
  // The first window wins where the delay makes the windows overlap.
  const PerformanceAction overlap = AutoPerformanceStep(5500, 5.0f, 2.0f);
  EXPECT_EQ(overlap.cramSize, 1536);
  EXPECT_FALSE(overlap.endRule);
}

}  // namespace
