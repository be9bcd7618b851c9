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

}  // namespace
