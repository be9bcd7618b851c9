// Frame-rate statistics of a saver run. The frame loop adds every frame's
// time; every 250 ms of collected time yields one rate sample, and the
// average of the samples is what the run reports as its frame rate.
#pragma once

#include <cstdint>

struct FrameStatistics {
  int32_t runTime = 0;      // ms, sum of the frame times (each truncated)
  int32_t windowTime = 0;   // ms collected in the current 250 ms window
  int32_t windowFrames = 0;
  int32_t fpsSamples = 0;
  float fpsSum = 0.0f;
  // Starts high so that nothing that waits for a slow machine fires before
  // the first window has been measured.
  float averageFps = 100.0f;

  void AddFrame(float frameMs);
};

extern FrameStatistics frameStats;
