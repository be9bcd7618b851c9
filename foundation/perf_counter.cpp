#include "foundation/perf_counter.h"

#include <atomic>

namespace {

std::atomic<TimeSource*> substitute{nullptr};

}  // namespace

TimeSource* CurrentTimeSource() {
  TimeSource* source = substitute.load();
  return source != nullptr ? source : PlatformTimeSource();
}

void SetTimeSource(TimeSource* source) { substitute.store(source); }

bool QueryCounterFrequency(int64_t& frequency) {
  return CurrentTimeSource()->CounterFrequency(frequency);
}

int64_t QueryCounter() { return CurrentTimeSource()->Counter(); }

uint32_t MillisecondClock() { return CurrentTimeSource()->Milliseconds(); }
