// Worker threads for the thread tests, natively and under Wine.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "foundation/thread.h"

// Polls a flag the other thread sets; false when it does not change in time.
inline bool WaitFor(const std::atomic<bool>& flag, bool value, int timeoutMs = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (flag != value) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Runs once and ends with the exit code it was given.
class OneShot : public cThread {
 public:
  explicit OneShot(int exitCode = 0) : exitCode_(exitCode) {}
  ~OneShot() override { Stop(); }
  int Run() override {
    ran = true;
    running = false;
    return exitCode_;
  }
  std::atomic<bool> ran{false};

 private:
  int exitCode_;
};

// Ignores the stop request until the test lets it go.
class Stubborn : public cThread {
 public:
  int Run() override {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    done = true;
    return 0;
  }
  std::atomic<bool> release{false};
  std::atomic<bool> done{false};
};

// Adds kRounds to a count shared with other contenders, one increment at a
// time under the monitor: with a lock that excludes, two of them leave
// exactly twice kRounds; without one, lost updates show. Runs as soon as it
// is started (not suspended).
class Contender : public cThread {
 public:
  static constexpr int kRounds = 20000;
  Contender(cMonitor& monitor, int& shared) : monitor_(monitor), shared_(shared) { creationFlags = 0; }
  ~Contender() override { Stop(); }
  int Run() override {
    for (int i = 0; i < kRounds; ++i) {
      cMonitorLock hold(monitor_);
      ++shared_;
    }
    return 0;
  }

 private:
  cMonitor& monitor_;
  int& shared_;
};
