// Frame-rate statistics of a saver run. The frame loop adds every frame's
// time; every 250 ms of collected time yields one rate sample, and the
// average of the samples is what the run reports as its frame rate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FrameStatistics {
  int32_t runTime = 0;      // ms, sum of the frame times (each truncated)
  int32_t windowTime = 0;   // ms collected in the current 250 ms window
  int32_t windowFrames = 0;
  int32_t fpsSamples = 0;
  float fpsSum = 0.0f;
  // Starts high so that nothing that waits for a slow machine fires before
  // the first window has been measured.
  float averageFps = 100.0f;

  // The frame's time into the run and the current window. Kept apart from
  // SampleWindow because the frame loop applies the performance rule in
  // between: the rule sees this frame's run time with the rate sampled so far.
  void AddFrameTime(float frameMs);
  // A full 250 ms window becomes one rate sample.
  void SampleWindow();
  void AddFrame(float frameMs) {
    AddFrameTime(frameMs);
    SampleWindow();
  }
};

// Count, sum and longest of timed pieces of work (effects, captions), for
// the end-of-run log lines the benchmarks read.
struct DurationStats {
  int32_t count = 0;
  double totalMs = 0.0;
  double longestMs = 0.0;
  void Add(double ms) {
    ++count;
    totalMs += ms;
    if (ms > longestMs) longestMs = ms;
  }
  double AverageMs() const { return count > 0 ? totalMs / count : 0.0; }
};

// What the automatic performance rule asks for on one frame. The rule
// watches the first seconds and the first two slide changes, and lowers the
// slide texture resolution on machines below 20 frames per second.
struct PerformanceAction {
  bool cramOn = false;   // switch cramming on
  int32_t cramSize = 0;  // set this resolution limit; 0 leaves it
  bool endRule = false;  // clear AutoPerformance: the rule is done for this run
};

// The rule at `runTime` ms with the average rate so far and the display
// time in seconds: 5001..5999 -> cram at 1536; strictly between D x 1000 +
// 3000 and + 4000 -> 1024; strictly between D x 2000 + 3000 and + 4000 ->
// 512, and the rule ends there whatever the rate.
PerformanceAction AutoPerformanceStep(int32_t runTime, float averageFps, float imageDelaySeconds);


// Every frame's time in a run, for the pacing line of the end-of-run log:
// median, the slow tail, and the longest frame within a second of a
// photograph change, where uploads and slide changes would show. The
// median over the changes of each one's longest frame tells a change that
// is slow every time from one that met a hiccup of the machine's.
class FrameTimes {
 public:
  void Add(float frameMs);
  // A photograph changed at the end of the last frame added.
  void MarkChange();
  int32_t Count() const { return static_cast<int32_t>(frames_.size()); }
  // "Frame times: N frames, median M ms, p95 P ms, p99 Q ms, longest L ms,
  // longest near a change C ms".
  std::string Summary() const;
  // "Photograph changes: N, longest frame near a typical one T ms": the
  // median over the changes of each one's longest near frame.
  std::string ChangeSummary() const;

 private:
  static constexpr double kNearChangeMs = 1000.0;
  struct Frame {
    float ms;
    double endMs;  // when it ended, from the run's first frame
    bool nearChange;
  };
  std::vector<Frame> frames_;
  std::vector<float> changeLongest_;  // per change, its longest near frame
  double clockMs_ = 0.0;
  double nearUntilMs_ = -1.0;
};
