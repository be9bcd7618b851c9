#include "foundation/perf_timer.h"

#include "foundation/perf_counter.h"

namespace {

int64_t frequency = 1;
int64_t adjust = 0;

}  // namespace

void CPerfTimer::Calibrate(CPerfTimer& probe) {
  int64_t ticks = 0;
  frequency = QueryCounterFrequency(ticks) && ticks > 0 ? ticks : 1;
  adjust = 0;
  probe.start_ = 0;
  probe.Start(false);
  probe.Stop();
  adjust = probe.start_;
  probe.start_ = 0;
}

CPerfTimer::CPerfTimer(bool startNow) {
  // A function-local static makes the first construction the only one that
  // calibrates, even when two threads construct at once.
  static const bool calibrated = (Calibrate(*this), true);
  (void)calibrated;
  start_ = 0;
  if (startNow) Start(false);
}

CPerfTimer::CPerfTimer(const CPerfTimer& other) {
  other.Lock();
  Lock();
  start_ = other.start_;
  Unlock();
  other.Unlock();
}

CPerfTimer& CPerfTimer::operator=(const CPerfTimer& other) {
  if (this == &other) return *this;
  other.Lock();
  Lock();
  start_ = other.start_;
  Unlock();
  other.Unlock();
  return *this;
}

void CPerfTimer::Start(bool reset) {
  Lock();
  const int64_t now = QueryCounter();
  if (!reset && start_ < 0) {
    start_ += now;  // resume: the time already counted stays
  } else {
    start_ = now;
  }
  Unlock();
}

void CPerfTimer::Stop() {
  Lock();
  if (start_ > 0) {
    start_ -= QueryCounter();
    // Take off our own overhead; a stop right after a start measures nothing.
    if (start_ < adjust) {
      start_ -= adjust;
    } else {
      start_ = 0;
    }
  }
  Unlock();
}

long double CPerfTimer::Elapsed() const {
  CPerfTimer copy(*this);
  copy.Stop();
  return static_cast<long double>(-copy.start_) * 1000.0L / static_cast<long double>(frequency);
}

int64_t CPerfTimer::Frequency() { return frequency; }

int64_t CPerfTimer::Adjust() { return adjust; }

void CPerfTimer::Recalibrate() {
  CPerfTimer probe;
  Calibrate(probe);
}

void FrameTimer::Init() {
  int64_t ticks = 0;
  if (QueryCounterFrequency(ticks) && ticks > 0) {
    frequency = ticks;
    initialCount = last = static_cast<uint64_t>(QueryCounter());
    resolution = 1.0f / static_cast<float>(ticks);
    usesCounter = true;
  } else {
    usesCounter = false;
    frequency = 1000;
    resolution = 0.001f;
    fallbackStart = 0;
    // The first reading needs a reference; Init's own time is the natural one.
    last = MillisecondClock();
  }
}

double FrameTimer::DeltaMs() {
  if (usesCounter) {
    const uint64_t now = static_cast<uint64_t>(QueryCounter());
    const double ms = static_cast<double>(static_cast<int64_t>(now - last)) /
                      static_cast<double>(frequency) * 1000.0;
    last = now;
    return ms;
  }
  // Unsigned 32-bit difference: right across the clock's wrap after 49 days.
  const uint32_t now = MillisecondClock();
  const uint32_t ms = now - static_cast<uint32_t>(last);
  last = now;
  return ms;
}

uint32_t FrameTimer::DeltaMsInt() {
  const double ms = DeltaMs();
  return ms > 0.0 ? static_cast<uint32_t>(ms) : 0;
}

void SpinDelay(float ms) {
  CPerfTimer timer(true);
  if (CPerfTimer::Frequency() <= 1) {
    // Without a counter the stopwatch never advances; spin on the
    // millisecond clock instead of forever.
    const uint32_t begin = MillisecondClock();
    while (static_cast<float>(MillisecondClock() - begin) < ms) {
    }
    return;
  }
  while (timer.Elapsed() < ms) {
  }
}
