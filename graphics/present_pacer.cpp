#include "graphics/present_pacer.h"

#include <algorithm>

namespace {

// A present that blocks no longer than this keeps the renderer fed without
// costing much; the pause aims at it.
const double kAimMs = 2.0;
// Half of each deviation goes into the pause: quick to follow a slower
// renderer, without swinging.
const double kGain = 0.5;
// Never more than a frame at 20 per second.
const double kLongestPauseMs = 50.0;
// One long block (the machine busy elsewhere) counts no more than this, so
// the pause does not outlast it by many frames.
const double kLongestBlockCountedMs = 20.0;

}  // namespace

void PresentPacer::Presented(double blockedMs) {
  ++presents_;
  pausedMs_ += PauseMs();
  const double deviation = std::min(blockedMs, kLongestBlockCountedMs) - kAimMs;
  pauseMs_ = std::clamp(pauseMs_ + kGain * deviation, 0.0, kLongestPauseMs);
}
