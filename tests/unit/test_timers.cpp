#include "foundation/perf_counter.h"
#include "foundation/perf_timer.h"
#include "foundation/thread.h"
#include "tests/support/thread_fakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A scripted clock: the counter moves only when a test moves it, plus
// `step` ticks after every reading.
class FakeTimeSource : public TimeSource {
 public:
  bool CounterFrequency(int64_t& value) override {
    if (!hasCounter) return false;
    value = frequency;
    return true;
  }
  int64_t Counter() override {
    if (!hasCounter) return 0;
    const int64_t value = counter;
    counter += step;
    return value;
  }
  uint32_t Milliseconds() override {
    const uint32_t value = ms;
    ms += msStep;
    return value;
  }

  bool hasCounter = true;
  int64_t frequency = 1000000;  // 1000 ticks per millisecond
  int64_t counter = 5000000;
  int64_t step = 0;
  uint32_t ms = 70000;
  uint32_t msStep = 0;
};

class FakeClockTest : public ::testing::Test {
 protected:
  void SetUp() override { Use(); }
  void TearDown() override {
    SetTimeSource(nullptr);
    CPerfTimer::Recalibrate();
  }
  // Installs the fake (after changing its set-up) and calibrates against it.
  void Use() {
    SetTimeSource(&fake_);
    CPerfTimer::Recalibrate();
  }
  void AdvanceMs(int64_t ms) { fake_.counter += ms * 1000; }

  FakeTimeSource fake_;
};

using PerfTimerTest = FakeClockTest;

TEST_F(PerfTimerTest, StartStopAndResume) {
  CPerfTimer idle;
  AdvanceMs(10);
  idle.Stop();
  EXPECT_EQ(idle.Elapsed(), 0.0L);  // never started

  CPerfTimer timer(true);
  AdvanceMs(20);
  EXPECT_EQ(timer.Elapsed(), 20.0L);
  EXPECT_GT(timer.StartValue(), 0);  // Elapsed leaves it running
  timer.Stop();
  AdvanceMs(100);
  timer.Stop();  // a second stop keeps the first
  EXPECT_EQ(timer.StartValue(), -20000);
  timer.Start(false);  // resumes: the 20 ms still count
  AdvanceMs(5);
  EXPECT_EQ(timer.Elapsed(), 25.0L);
  timer.Start(true);
  AdvanceMs(5);
  EXPECT_EQ(timer.Elapsed(), 5.0L);
}

TEST_F(PerfTimerTest, OwnOverheadIsSubtracted) {
  fake_.step = 1;  // every reading costs one tick
  Use();
  EXPECT_EQ(CPerfTimer::Adjust(), -1);
  CPerfTimer timer(true);
  AdvanceMs(1);
  timer.Stop();
  EXPECT_EQ(timer.StartValue(), -1000);  // 1001 ticks read, one was overhead
  CPerfTimer quick(true);
  quick.Stop();  // just the overhead: nothing measured
  EXPECT_EQ(quick.StartValue(), 0);
}

TEST_F(PerfTimerTest, WithoutCounterSpinDelayStillEnds) {
  fake_.hasCounter = false;
  fake_.msStep = 1;
  Use();
  EXPECT_EQ(CPerfTimer::Frequency(), 1);
  const uint32_t before = fake_.ms;
  SpinDelay(3.0f);
  EXPECT_GE(fake_.ms - before, 3u);
  EXPECT_LT(fake_.ms - before, 10u);
}

using FrameTimerTest = FakeClockTest;

TEST_F(FrameTimerTest, DeltasFromTheCounter) {
  FrameTimer timer;
  timer.Init();
  EXPECT_TRUE(timer.usesCounter);
  EXPECT_EQ(timer.frequency, 1000000);
  EXPECT_EQ(timer.initialCount, 5000000u);
  EXPECT_FLOAT_EQ(timer.resolution, 1e-6f);
  fake_.counter += 16667;
  EXPECT_NEAR(timer.DeltaMs(), 16.667, 1e-9);
  fake_.counter += 33900;
  EXPECT_EQ(timer.DeltaMsInt(), 33u);
  EXPECT_EQ(timer.DeltaMs(), 0.0);
}

TEST_F(FrameTimerTest, FallbackCountsFromInitAcrossTheWrap) {
  fake_.hasCounter = false;
  fake_.ms = 0xFFFFFFF0u;
  FrameTimer timer;
  timer.Init();
  EXPECT_FALSE(timer.usesCounter);
  EXPECT_EQ(timer.frequency, 1000);
  fake_.ms += 17;  // wraps to 1
  EXPECT_EQ(timer.DeltaMs(), 17.0);
  fake_.ms += 33;
  EXPECT_EQ(timer.DeltaMsInt(), 33u);
}

// Real threads on the native stand-in.

TEST(Thread, StartsSuspendedUntilResumed) {
  OneShot thread;
  EXPECT_FALSE(thread.Stop());  // never started
  EXPECT_EQ(thread.stopTimeoutMs, 0xFFFFFFFFu);
  ASSERT_TRUE(thread.Start());
  EXPECT_NE(thread.handle, nullptr);
  EXPECT_NE(thread.threadId, 0u);
  thread.SetPriority(kThreadPriorityBelowNormal);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(thread.ran);
  EXPECT_TRUE(thread.IsRunning());
  thread.Resume();
  ASSERT_TRUE(WaitFor(thread.running, false));  // the owner's poll
  EXPECT_TRUE(thread.ran);
  EXPECT_TRUE(thread.Stop());
  EXPECT_EQ(thread.handle, nullptr);
  EXPECT_FALSE(thread.abandoned);
}

TEST(Thread, StopGivesUpAfterTheTimeout) {
  // Outlives the test: the worker still runs on it after Stop gives up.
  static Stubborn thread;
  thread.stopTimeoutMs = 100;
  ASSERT_TRUE(thread.Start());
  thread.Resume();
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(thread.Stop());
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, std::chrono::milliseconds(90));
  EXPECT_LT(waited, std::chrono::seconds(5));
  EXPECT_EQ(thread.handle, nullptr);
  EXPECT_FALSE(thread.done);
  EXPECT_TRUE(thread.abandoned);
  thread.release = true;
  EXPECT_TRUE(WaitFor(thread.done, true));
}

TEST(Monitor, ReentryAndExclusion) {
  cMonitor monitor;
  int shared = 0;
  Contender a(monitor, shared), b(monitor, shared);
  monitor.Enter();
  monitor.Enter();  // the owner may enter again
  EXPECT_TRUE(monitor.locked);
  monitor.Leave();
  ASSERT_TRUE(a.Start());
  ASSERT_TRUE(b.Start());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(shared, 0);  // both wait for us
  monitor.Leave();
  a.Stop();
  b.Stop();
  EXPECT_EQ(shared, 2 * Contender::kRounds);
  EXPECT_FALSE(monitor.locked);
}

}  // namespace
