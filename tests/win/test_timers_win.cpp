#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/perf_counter.h"
#include "foundation/perf_timer.h"

namespace {

// The real clocks with the counter hidden, to run the fallback on timeGetTime.
class NoCounter : public TimeSource {
 public:
  bool CounterFrequency(int64_t&) override { return false; }
  int64_t Counter() override { return 0; }
  uint32_t Milliseconds() override { return PlatformTimeSource()->Milliseconds(); }
};

TEST(TimersWin, PerfTimerMeasuresASleep) {
  CPerfTimer timer(true);
  EXPECT_GT(CPerfTimer::Frequency(), 1);
  EXPECT_LE(CPerfTimer::Adjust(), 0);
  Sleep(50);
  timer.Stop();
  const long double ms = timer.Elapsed();
  EXPECT_GT(ms, 40.0L);
  EXPECT_LT(ms, 1000.0L);
}

TEST(TimersWin, FrameTimerDeltasArePositive) {
  FrameTimer timer;
  timer.Init();
  EXPECT_TRUE(timer.usesCounter);
  Sleep(20);
  const double first = timer.DeltaMs();
  EXPECT_GT(first, 10.0);
  Sleep(20);
  EXPECT_GE(timer.DeltaMsInt(), 10u);
}

TEST(TimersWin, FrameTimerFallbackUsesTheMillisecondClock) {
  NoCounter noCounter;
  SetTimeSource(&noCounter);
  FrameTimer timer;
  timer.Init();
  Sleep(30);
  const uint32_t ms = timer.DeltaMsInt();
  SetTimeSource(nullptr);
  EXPECT_FALSE(timer.usesCounter);
  EXPECT_GE(ms, 20u);
  EXPECT_LT(ms, 1000u);
}

}  // namespace
