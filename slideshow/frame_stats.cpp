#include "slideshow/frame_stats.h"

FrameStatistics frameStats;

void FrameStatistics::AddFrame(float frameMs) {
  const int32_t t = static_cast<int32_t>(frameMs);
  runTime += t;
  windowFrames += 1;
  windowTime += t;
  if (windowTime >= 250) {
    const float sample = 1000.0f / static_cast<float>(windowTime) * static_cast<float>(windowFrames);
    windowTime -= 250;
    windowFrames = 0;
    fpsSamples += 1;
    fpsSum += sample;
    averageFps = fpsSum / static_cast<float>(fpsSamples);
  }
}
