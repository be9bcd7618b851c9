// The platform's clocks: the high-resolution performance counter and the
// millisecond clock used when there is no counter. The timers read them
// only through here, so tests can put a scripted source in their place.
#pragma once

#include <cstdint>

class TimeSource {
 public:
  virtual ~TimeSource() = default;
  // Counter ticks per second; false when the machine has no counter.
  virtual bool CounterFrequency(int64_t& frequency) = 0;
  // The counter now; 0 when there is none.
  virtual int64_t Counter() = 0;
  // Milliseconds since some fixed moment, wrapping at 2^32.
  virtual uint32_t Milliseconds() = 0;
};

// The real clocks of this platform.
TimeSource* PlatformTimeSource();

// The source in force for the whole process; the platform's unless a test
// has set another. Null restores the platform's.
TimeSource* CurrentTimeSource();
void SetTimeSource(TimeSource* source);

// Shorthands over the current source.
bool QueryCounterFrequency(int64_t& frequency);
int64_t QueryCounter();
uint32_t MillisecondClock();
