#include "slideshow/frame_stats.h"

void FrameStatistics::AddFrameTime(float frameMs) {
  const int32_t t = static_cast<int32_t>(frameMs);
  runTime += t;
  windowFrames += 1;
  windowTime += t;
}

void FrameStatistics::SampleWindow() {
  if (windowTime >= 250) {
    const float sample = 1000.0f / static_cast<float>(windowTime) * static_cast<float>(windowFrames);
    windowTime -= 250;
    windowFrames = 0;
    fpsSamples += 1;
    fpsSum += sample;
    averageFps = fpsSum / static_cast<float>(fpsSamples);
  }
}

PerformanceAction AutoPerformanceStep(int32_t runTime, float averageFps, float imageDelaySeconds) {
  PerformanceAction action;
  const bool slow = averageFps < 20.0f;
  const float t = static_cast<float>(runTime);
  const float first = imageDelaySeconds * 1000.0f + 3000.0f;
  const float second = imageDelaySeconds * 2000.0f + 3000.0f;
  if (runTime >= 5001 && runTime <= 5999) {
    if (slow) {
      action.cramOn = true;
      action.cramSize = 1536;
    }
  } else if (t > first && t < first + 1000.0f) {
    if (slow) action.cramSize = 1024;
  } else if (t > second && t < second + 1000.0f) {
    if (slow) action.cramSize = 512;
    action.endRule = true;
  }
  return action;
}
