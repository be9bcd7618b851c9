// The geometry of fast mode's twelve transition effects: which rectangles
// each step copies from the new picture, or moves within the screen, to
// bring the screen from one position of the effect to a later one. Pure
// arithmetic; the GDI side turns each copy into a block transfer and owns
// the timing.
//
//   1, 2    random columns / rows, one line per step
//   3, 4    wipe left to right / top to bottom
//   5, 6    the same with a ragged edge of 4 x 4 blocks up to 200 px ahead
//   7, 8    split slide: the old halves slide apart sideways / vertically
//   9, 10   opening from the centre line, the old halves pushed outwards
//   11, 12  closing doors: the new halves slide in from the edges
// Any other number copies the whole new picture at once.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

enum EffectSource {
  kFromNewPicture = 0,
  kFromScreen = 1,  // a move within the screen; overlapping moves keep the source intact
};

struct EffectCopy {
  int32_t x = 0;  // destination on the screen
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  EffectSource source = kFromNewPicture;
  int32_t sourceX = 0;
  int32_t sourceY = 0;
};

class FastEffect {
 public:
  // `random` stands for the C library's rand(); it is drawn from while the
  // permutation of effects 1 and 2 is made and during the ragged steps.
  FastEffect(int32_t effect, int32_t width, int32_t height, std::function<int32_t()> random);

  int32_t Effect() const { return effect_; }
  // Positions run from 0 (nothing shown) to Lines() (the new picture complete).
  int32_t Lines() const { return lines_; }
  // The wait between polls of the step timer.
  int32_t PollMs() const { return effect_ >= 7 ? 2 : 1; }
  // Random lines are shown one per step; the sweeps advance by elapsed time.
  bool Sweeping() const { return effect_ >= 3; }
  // The screen is too small for the effect: nothing is drawn.
  bool Skipped() const { return skipped_; }
  // The copies from position `from` to `to`, in order.
  std::vector<EffectCopy> Step(int32_t from, int32_t to);

  // The position due `elapsedMs` into an effect of `durationMs`: whole
  // shares of the duration, at most `lines`. Steps are scheduled on the
  // effect's own clock rather than each on its own, so neither slow steps
  // nor the sleeps' overshoot add up beyond the duration.
  static int32_t LinesDue(double elapsedMs, int32_t durationMs, int32_t lines);
  // The moment position `position` is due.
  static double DueMs(int32_t position, int32_t durationMs, int32_t lines);

 private:
  void Add(std::vector<EffectCopy>& out, int32_t x, int32_t y, int32_t w, int32_t h, EffectSource source,
           int32_t sx, int32_t sy) const;
  void RaggedBlocks(std::vector<EffectCopy>& out, int32_t position);
  void SplitSlide(std::vector<EffectCopy>& out, int32_t from, int32_t to) const;
  void OpenFromCentre(std::vector<EffectCopy>& out, int32_t from, int32_t to) const;
  void CloseDoors(std::vector<EffectCopy>& out, int32_t to) const;

  int32_t effect_;
  int32_t width_;
  int32_t height_;
  int32_t lines_ = 1;
  bool skipped_ = false;
  bool horizontal_ = true;  // odd effects work along x
  std::function<int32_t()> random_;
  std::vector<int32_t> order_;  // effects 1 and 2
};
