#include "slideshow/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

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

void FrameTimes::Add(float frameMs) {
  const double start = clockMs_;
  clockMs_ += frameMs;
  const bool nearChange = start <= nearUntilMs_;
  frames_.push_back(Frame{frameMs, clockMs_, nearChange});
  if (nearChange) changeLongest_.back() = std::max(changeLongest_.back(), frameMs);
}

void FrameTimes::MarkChange() {
  nearUntilMs_ = clockMs_ + kNearChangeMs;
  float longest = 0.0f;
  for (auto it = frames_.rbegin(); it != frames_.rend() && clockMs_ - it->endMs <= kNearChangeMs; ++it) {
    it->nearChange = true;
    longest = std::max(longest, it->ms);
  }
  changeLongest_.push_back(longest);
}

namespace {

// Nearest rank: the smallest time at or above that share of the sorted times.
float Percentile(const std::vector<float>& sorted, double share) {
  if (sorted.empty()) return 0.0f;
  const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
  return sorted[std::min(std::max<size_t>(rank, 1), sorted.size()) - 1];
}

}  // namespace

std::string FrameTimes::Summary() const {
  std::vector<float> sorted;
  float nearChange = 0.0f;
  for (const Frame& f : frames_) {
    sorted.push_back(f.ms);
    if (f.nearChange) nearChange = std::max(nearChange, f.ms);
  }
  std::sort(sorted.begin(), sorted.end());
  std::ostringstream line;
  line << std::fixed << std::setprecision(1) << "Frame times: " << sorted.size() << " frames, median "
       << Percentile(sorted, 0.5) << " ms, p95 " << Percentile(sorted, 0.95) << " ms, p99 "
       << Percentile(sorted, 0.99) << " ms, longest " << (sorted.empty() ? 0.0f : sorted.back())
       << " ms, longest near a change " << nearChange << " ms";
  return line.str();
}

std::string FrameTimes::ChangeSummary() const {
  std::vector<float> changes = changeLongest_;
  std::sort(changes.begin(), changes.end());
  std::ostringstream line;
  line << std::fixed << std::setprecision(1) << "Photograph changes: " << changes.size()
       << ", longest frame near a typical one " << Percentile(changes, 0.5) << " ms";
  return line.str();
}
