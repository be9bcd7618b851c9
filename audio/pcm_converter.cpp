#include "audio/pcm_converter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const double kPi = 3.14159265358979323846;
const double kZeroCrossings = 8.0;  // of the sinc, each side of the centre
// Cut-off as a share of the lower Nyquist rate: the window's transition band
// fits below it, so little folds back.
const double kPassband = 0.92;
// Bounds for extreme rate ratios: a longer kernel than this buys nothing
// audible, and the table stays under a megabyte.
const int kMaxTaps = 256;
const uint64_t kMaxCoefficients = 1 << 18;
const uint64_t kMinPhases = 64;
const size_t kBlockFrames = 2048;
// Consumed input is dropped from the window in batches of at least this.
const int64_t kDropFrames = 16384;

uint64_t Gcd(uint64_t a, uint64_t b) {
  while (b != 0) {
    const uint64_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

double Sinc(double x) {
  if (std::fabs(x) < 1e-12) return 1.0;
  return std::sin(kPi * x) / (kPi * x);
}

// Blackman window over -1..1.
double Window(double x) { return 0.42 + 0.5 * std::cos(kPi * x) + 0.08 * std::cos(2.0 * kPi * x); }

int16_t ToSample(float value) {
  if (value >= 32767.0f) return 32767;
  if (value <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrint(value));
}

bool IsValid(PcmFormat format) {
  return format.rate >= kMinPcmRate && format.rate <= kMaxPcmRate && format.channels >= 1 &&
         format.channels <= 2;
}

}  // namespace

PcmConverter::PcmConverter(std::unique_ptr<AudioDecoder> source, PcmFormat target)
    : source_(std::move(source)),
      from_(source_->Format()),
      target_(target),
      filterChannels_(std::min(from_.channels, target_.channels)),
      block_(kBlockFrames * static_cast<size_t>(from_.channels)) {
  if (from_.rate != target_.rate) BuildKernel();
}

void PcmConverter::BuildKernel() {
  const double ratio = static_cast<double>(target_.rate) / from_.rate;
  // In input frames: cycles per frame relative to the input's Nyquist rate.
  const double cutoff = kPassband * std::min(1.0, ratio);
  const int half = std::min(static_cast<int>(std::ceil(kZeroCrossings / cutoff)), kMaxTaps / 2);
  taps_ = 2 * half;
  left_ = half - 1;
  const uint64_t exact =
      static_cast<uint64_t>(target_.rate) / Gcd(from_.rate, target_.rate);
  phases_ = std::min(exact, std::max(kMinPhases, kMaxCoefficients / taps_));
  // One row more than phases: a fraction rounded up to a whole frame.
  kernel_.resize((phases_ + 1) * static_cast<size_t>(taps_));
  for (uint64_t p = 0; p <= phases_; ++p) {
    const double offset = static_cast<double>(p) / phases_;
    float* row = &kernel_[p * taps_];
    double sum = 0.0;
    for (int k = 0; k < taps_; ++k) {
      const double distance = (k - left_) - offset;
      const double h = Sinc(cutoff * distance) * Window(distance / half);
      row[k] = static_cast<float>(h);
      sum += h;
    }
    // Unity gain at every phase, so a constant level stays exactly constant.
    for (int k = 0; k < taps_; ++k) row[k] = static_cast<float>(row[k] / sum);
  }
  // Silence before the first frame, for the kernel's left half.
  windowStart_ = -left_;
  window_.assign(static_cast<size_t>(left_) * filterChannels_, 0.0f);
}

size_t PcmConverter::Read(int16_t* out, size_t frames) {
  if (frames == 0) return 0;
  return taps_ == 0 ? ReadSameRate(out, frames) : ReadResampled(out, frames);
}

template <typename T>
void PcmConverter::MapChannels(const int16_t* in, T* out, size_t frames, int outChannels) const {
  if (from_.channels == outChannels) {
    std::copy(in, in + frames * outChannels, out);
  } else if (outChannels == 1) {
    for (size_t i = 0; i < frames; ++i)
      out[i] = static_cast<T>((in[2 * i] + in[2 * i + 1]) * 0.5);
  } else {
    for (size_t i = 0; i < frames; ++i) out[2 * i] = out[2 * i + 1] = static_cast<T>(in[i]);
  }
}

size_t PcmConverter::ReadSameRate(int16_t* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    const size_t got = source_->Read(block_.data(), std::min(frames - done, kBlockFrames));
    if (got == 0) break;
    MapChannels(block_.data(), out + done * target_.channels, got, target_.channels);
    done += got;
  }
  return done;
}

bool PcmConverter::PullSource() {
  if (sourceEnded_) return false;
  const size_t got = source_->Read(block_.data(), kBlockFrames);
  const size_t old = window_.size();
  if (got == 0) {
    // Silence after the last frame, for the kernel's right half.
    sourceEnded_ = true;
    window_.resize(old + static_cast<size_t>(taps_) * filterChannels_, 0.0f);
    return false;
  }
  window_.resize(old + got * filterChannels_);
  MapChannels(block_.data(), window_.data() + old, got, filterChannels_);
  inputFrames_ += static_cast<int64_t>(got);
  return true;
}

void PcmConverter::DropConsumedInput() {
  const int64_t consumed = whole_ - left_ - windowStart_;
  if (consumed < kDropFrames) return;
  window_.erase(window_.begin(), window_.begin() + consumed * filterChannels_);
  windowStart_ += consumed;
}

size_t PcmConverter::ReadResampled(int16_t* out, size_t frames) {
  const int channels = filterChannels_;
  const uint64_t rate = static_cast<uint64_t>(target_.rate);
  size_t done = 0;
  while (done < frames) {
    const int64_t first = whole_ - left_;
    const int64_t windowFrames = static_cast<int64_t>(window_.size()) / channels;
    if (windowStart_ + windowFrames < first + taps_ && PullSource()) continue;
    if (sourceEnded_ && whole_ >= inputFrames_) break;

    const uint64_t phase = (fraction_ * phases_ + rate / 2) / rate;
    const float* row = &kernel_[phase * taps_];
    const float* in = &window_[static_cast<size_t>(first - windowStart_) * channels];
    int16_t* frame = out + done * target_.channels;
    if (channels == 1) {
      float sum = 0.0f;
      for (int k = 0; k < taps_; ++k) sum += row[k] * in[k];
      frame[0] = ToSample(sum);
      if (target_.channels == 2) frame[1] = frame[0];
    } else {
      float left = 0.0f, right = 0.0f;
      for (int k = 0; k < taps_; ++k) {
        left += row[k] * in[2 * k];
        right += row[k] * in[2 * k + 1];
      }
      frame[0] = ToSample(left);
      frame[1] = ToSample(right);
    }
    ++done;
    fraction_ += static_cast<uint64_t>(from_.rate);
    whole_ += static_cast<int64_t>(fraction_ / rate);
    fraction_ %= rate;
  }
  DropConsumedInput();
  return done;
}

std::unique_ptr<AudioDecoder> ConvertTo(std::unique_ptr<AudioDecoder> source, PcmFormat format) {
  if (source == nullptr || !IsValid(format) || !IsValid(source->Format())) return nullptr;
  const PcmFormat from = source->Format();
  if (from.rate == format.rate && from.channels == format.channels) return source;
  return std::unique_ptr<AudioDecoder>(new PcmConverter(std::move(source), format));
}
