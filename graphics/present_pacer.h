// Keeps the main thread from outrunning the renderer. A present that comes
// while the renderer is still busy with earlier frames blocks, and graphics
// runtimes wait for it by spinning (DirectDraw's wait for a flip, Wine's
// frame queue): processor time spent on nothing. The pacer learns how long
// presents block and sleeps before the next one instead, so that a present
// finds the renderer ready. The renderer still sets the frame rate.
#pragma once

#include <cstdint>

class PresentPacer {
 public:
  // Whole milliseconds to sleep before the next present.
  int32_t PauseMs() const { return static_cast<int32_t>(pauseMs_); }
  // How long the last present blocked, in milliseconds.
  void Presented(double blockedMs);

  // For the log: presents seen and the mean of the pauses taken before them.
  int32_t Presents() const { return presents_; }
  double AveragePauseMs() const { return presents_ > 0 ? pausedMs_ / presents_ : 0.0; }

 private:
  double pauseMs_ = 0.0;
  int32_t presents_ = 0;
  double pausedMs_ = 0.0;
};
