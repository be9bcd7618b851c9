// Millisecond stopwatch over the performance counter, the per-frame delta
// timer and an active wait.
#pragma once

#include <cstdint>

// `start` above 0: running since that counter value; below 0: stopped,
// holding the negated accumulated ticks; 0: never started or reset.
// Lock and Unlock are hooks for a thread-safe derived timer; here every
// timer is used by one thread and they do nothing.
class CPerfTimer {
 public:
  // The first timer of the process reads the counter frequency and measures
  // the cost of one start-stop pair, which every later stop subtracts.
  explicit CPerfTimer(bool startNow = false);
  CPerfTimer(const CPerfTimer& other);
  CPerfTimer& operator=(const CPerfTimer& other);
  virtual ~CPerfTimer() = default;

  virtual void Lock() const {}
  virtual void Unlock() const {}

  // Resumes a stopped timer unless `reset`; a reset or fresh timer starts at 0.
  void Start(bool reset = false);
  void Stop();
  // Milliseconds timed so far; a running timer keeps running.
  long double Elapsed() const;

  int64_t StartValue() const { return start_; }

  // Process-wide ticks per second (1 without a counter) and start-stop cost.
  static int64_t Frequency();
  static int64_t Adjust();
  // Measures both again from the current time source; for tests that
  // substitute the clock.
  static void Recalibrate();

 private:
  static void Calibrate(CPerfTimer& probe);

  int64_t start_ = 0;
};

// Milliseconds between successive readings, over the performance counter or,
// without one, the millisecond clock.
struct FrameTimer {
  void Init();
  // Milliseconds since the previous reading (or Init); remembers this one.
  double DeltaMs();
  uint32_t DeltaMsInt();

  int64_t frequency = 0;
  float resolution = 0.0f;  // seconds per tick
  uint64_t fallbackStart = 0;
  bool usesCounter = false;
  uint64_t initialCount = 0;
  uint64_t last = 0;
};

// Waits `ms` milliseconds without sleeping, for pauses shorter than the
// scheduler's slice.
void SpinDelay(float ms);
