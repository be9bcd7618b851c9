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

TEST(FrameTimes, SummaryGivesTheMedianTheTailAndTheLongestNearAChange) {
  FrameTimes times;
  EXPECT_EQ(times.Summary(),
            "Frame times: 0 frames, median 0.0 ms, p95 0.0 ms, p99 0.0 ms, longest 0.0 ms, longest near a "
            "change 0.0 ms");
  EXPECT_EQ(times.ChangeSummary(), "Photograph changes: 0, longest frame near a typical one 0.0 ms");
  // 100 frames of 1..100 ms, percentiles by nearest rank; a change after
  // the 94 ms frame makes the six after it (all within a second) near one.
  for (int ms = 1; ms <= 100; ++ms) {
    if (ms == 95) times.MarkChange();
    times.Add(static_cast<float>(ms));
  }
  EXPECT_EQ(times.Count(), 100);
  EXPECT_EQ(times.Summary(),
            "Frame times: 100 frames, median 50.0 ms, p95 95.0 ms, p99 99.0 ms, longest 100.0 ms, longest near "
            "a change 100.0 ms");

  FrameTimes apart;
  apart.Add(16.66f);
  apart.Add(500.0f);  // long, but more than a second before the change
  for (int i = 0; i < 70; ++i) apart.Add(16.0f);
  apart.MarkChange();
  apart.Add(40.04f);
  for (int i = 0; i < 70; ++i) apart.Add(16.0f);
  apart.Add(300.0f);  // more than a second after it
  EXPECT_NE(apart.Summary().find("longest 500.0 ms, longest near a change 40.0 ms"), std::string::npos)
      << apart.Summary();
}

TEST(FrameTimes, TheTypicalChangeIsTheMedianOfEachChangesLongestFrame) {
  // Three changes two seconds apart: the second meets one 400 ms hiccup,
  // which is the longest near a change but not the typical one. A frame
  // just before a change counts for it as well as one just after.
  FrameTimes times;
  const float longest[] = {30.0f, 400.0f, 50.0f};
  for (float slow : longest) {
    for (int i = 0; i < 60; ++i) times.Add(20.0f);
    times.Add(slow / 2);
    times.MarkChange();
    times.Add(slow);
    for (int i = 0; i < 60; ++i) times.Add(20.0f);
  }
  EXPECT_NE(times.Summary().find("longest near a change 400.0 ms"), std::string::npos) << times.Summary();
  EXPECT_EQ(times.ChangeSummary(), "Photograph changes: 3, longest frame near a typical one 50.0 ms");
}
