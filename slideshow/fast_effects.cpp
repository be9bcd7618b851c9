#include "slideshow/fast_effects.h"

#include <algorithm>
#include <cmath>
#include <utility>

FastEffect::FastEffect(int32_t effect, int32_t width, int32_t height, std::function<int32_t()> random)
    : effect_(effect >= 1 && effect <= 12 ? effect : 0),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      horizontal_(effect_ % 2 == 1),
      random_(std::move(random)) {
  const int32_t along = horizontal_ ? width_ : height_;
  if (effect_ == 0) {
    lines_ = 1;
  } else if (effect_ <= 8) {
    lines_ = along;
    skipped_ = along < (effect_ <= 2 ? 1 : 2);
  } else {
    lines_ = along - along / 2;  // the wider half decides when the picture is complete
    skipped_ = effect_ <= 10 ? along / 2 + 1 >= along : along / 2 < 2;
  }
  if ((effect_ == 1 || effect_ == 2) && !skipped_) {
    order_.resize(static_cast<size_t>(along));
    for (int32_t i = 0; i < along; ++i) order_[static_cast<size_t>(i)] = i;
    for (int32_t n = 0; n < along; ++n) {
      const int32_t a = random_() % along;
      const int32_t b = random_() % along;
      std::swap(order_[static_cast<size_t>(a)], order_[static_cast<size_t>(b)]);
    }
  }
}

int32_t FastEffect::LinesDue(double elapsedMs, int32_t durationMs, int32_t lines) {
  if (lines < 1) return 0;
  if (durationMs <= 0) return lines;
  const double whole = std::floor(elapsedMs * lines / durationMs);
  return whole < 0.0 ? 0 : static_cast<int32_t>(std::min(whole, static_cast<double>(lines)));
}

double FastEffect::DueMs(int32_t position, int32_t durationMs, int32_t lines) {
  if (lines < 1) return 0.0;
  return static_cast<double>(durationMs) * position / lines;
}

// Copies in effect coordinates (along the sweep, across it), clipped to the screen.
void FastEffect::Add(std::vector<EffectCopy>& out, int32_t along, int32_t across, int32_t alongSize,
                     int32_t acrossSize, EffectSource source, int32_t sourceAlong,
                     int32_t sourceAcross) const {
  const int32_t alongLimit = horizontal_ ? width_ : height_;
  const int32_t acrossLimit = horizontal_ ? height_ : width_;
  auto clip = [](int32_t& pos, int32_t& size, int32_t& src, int32_t limit) {
    if (pos < 0) {
      size += pos;
      src -= pos;
      pos = 0;
    }
    if (src < 0) {
      size += src;
      pos -= src;
      src = 0;
    }
    size = std::min(size, std::min(limit - pos, limit - src));
  };
  clip(along, alongSize, sourceAlong, alongLimit);
  clip(across, acrossSize, sourceAcross, acrossLimit);
  if (alongSize <= 0 || acrossSize <= 0) return;
  EffectCopy copy;
  if (horizontal_) {
    copy = {along, across, alongSize, acrossSize, source, sourceAlong, sourceAcross};
  } else {
    copy = {across, along, acrossSize, alongSize, source, sourceAcross, sourceAlong};
  }
  out.push_back(copy);
}

std::vector<EffectCopy> FastEffect::Step(int32_t from, int32_t to) {
  std::vector<EffectCopy> out;
  from = std::max(from, 0);
  to = std::min(to, lines_);
  if (skipped_ || to <= from) return out;
  const int32_t across = horizontal_ ? height_ : width_;
  switch (effect_) {
    case 0:
      out.push_back({0, 0, width_, height_, kFromNewPicture, 0, 0});
      break;
    case 1:
    case 2:
      for (int32_t k = from; k < to; ++k) {
        const int32_t line = order_[static_cast<size_t>(k)];
        Add(out, line, 0, 1, across, kFromNewPicture, line, 0);
      }
      break;
    case 5:
    case 6:
      RaggedBlocks(out, to);
      Add(out, from, 0, to - from, across, kFromNewPicture, from, 0);
      break;
    case 3:
    case 4:
      Add(out, from, 0, to - from, across, kFromNewPicture, from, 0);
      break;
    case 7:
    case 8:
      SplitSlide(out, from, to);
      break;
    case 9:
    case 10:
      OpenFromCentre(out, from, to);
      break;
    default:
      CloseDoors(out, to);
      break;
  }
  return out;
}

// A ragged edge: for every line across, four 4 x 4 blocks of the new
// picture up to 200 pixels ahead of the position.
void FastEffect::RaggedBlocks(std::vector<EffectCopy>& out, int32_t position) {
  const int32_t along = horizontal_ ? width_ : height_;
  const int32_t across = horizontal_ ? height_ : width_;
  for (int32_t i = 0; i < 4 * across; ++i) {
    const int32_t at = std::min(random_() % 200 + position, along);
    Add(out, at, i / 4, 4, 4, kFromNewPicture, at, i / 4);
  }
}

// The old first half (across) slides forwards and the second backwards,
// uncovering the new picture from the start and from the end.
void FastEffect::SplitSlide(std::vector<EffectCopy>& out, int32_t from, int32_t to) const {
  const int32_t along = horizontal_ ? width_ : height_;
  const int32_t across = horizontal_ ? height_ : width_;
  const int32_t half = across / 2;
  Add(out, to, 0, along - to, half, kFromScreen, from, 0);
  Add(out, from, 0, to - from, half, kFromNewPicture, from, 0);
  Add(out, 0, half, along - to, across - half, kFromScreen, to - from, half);
  Add(out, along - to, half, to - from, across - half, kFromNewPicture, along - to, half);
}

// The old halves pushed outwards from the centre line, the new picture
// uncovered between them.
void FastEffect::OpenFromCentre(std::vector<EffectCopy>& out, int32_t from, int32_t to) const {
  const int32_t along = horizontal_ ? width_ : height_;
  const int32_t across = horizontal_ ? height_ : width_;
  const int32_t middle = along / 2;
  Add(out, 0, 0, middle - to, across, kFromScreen, to - from, 0);
  Add(out, middle + to, 0, along - middle - to, across, kFromScreen, middle + from, 0);
  const int32_t leftStart = std::max(middle - to, 0);
  const int32_t leftEnd = std::max(middle - from, 0);
  Add(out, leftStart, 0, leftEnd - leftStart, across, kFromNewPicture, leftStart, 0);
  Add(out, middle + from, 0, to - from, across, kFromNewPicture, middle + from, 0);
}

// The new halves slide in from the edges and meet at the centre line.
void FastEffect::CloseDoors(std::vector<EffectCopy>& out, int32_t to) const {
  const int32_t along = horizontal_ ? width_ : height_;
  const int32_t across = horizontal_ ? height_ : width_;
  const int32_t middle = along / 2;
  const int32_t left = std::min(to, middle);
  Add(out, 0, 0, left, across, kFromNewPicture, middle - left, 0);
  Add(out, along - to, 0, to, across, kFromNewPicture, middle, 0);
}
