// The two ways a saver run draws, and what they may ask of the run.
#pragma once

#include <cstdint>

// What a drawer needs of the run around it; the run implements it.
class RunControl {
 public:
  virtual ~RunControl() = default;
  // Asks the saver to end, as the input rules do (the password rule applies).
  virtual void RequestClose() = 0;
  // The run's message loop has seen its quit message.
  virtual bool QuitRequested() const = 0;
  // Handles one pending message; false when there was none. Lets long
  // drawing steps stay responsive.
  virtual bool PumpOneMessage() = 0;
};

// One frame of the run's loop: the Direct3D frame or fast mode.
class FrameDrawer {
 public:
  virtual ~FrameDrawer() = default;
  // Rules that watch the frame rate, after the frame's time was counted
  // and before the rate window is sampled.
  virtual void AdjustToFrameRate() {}
  // Draws the frame `frameMs` after the previous one. The Direct3D frame
  // may throw cGameError from the graphics layer; the run's loop catches it.
  virtual void Draw(float frameMs) = 0;
  // Photographs brought on screen after the first, so far.
  virtual int32_t PhotographChanges() const = 0;
  // The photograph on screen by its index in the bundle; -1 before the first.
  virtual int32_t PhotoOnScreen() const = 0;
};

// What both drawers do once the bundle has nothing left to show: log it,
// mark the run as failed when `critical`, and ask the saver to end.
void GiveUpForWantOfImages(RunControl& run, bool critical);
