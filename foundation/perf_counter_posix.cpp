#include "foundation/perf_counter.h"

#include <time.h>

namespace {

// The monotonic clock in nanoseconds stands in for the performance counter.
class PosixTimeSource : public TimeSource {
 public:
  bool CounterFrequency(int64_t& frequency) override {
    frequency = 1000000000;
    return true;
  }

  int64_t Counter() override {
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  }

  uint32_t Milliseconds() override {
    return static_cast<uint32_t>(Counter() / 1000000);
  }
};

}  // namespace

TimeSource* PlatformTimeSource() {
  static PosixTimeSource source;
  return &source;
}
