// Brings a decoder's output to another rate and channel count.
//
// Rate conversion is a windowed-sinc filter (Blackman window, eight zero
// crossings each side, cut-off just under the lower of the two Nyquist
// rates) evaluated at each output frame's position in the input:
//
//   input   x0    x1    x2    x3    x4 ...
//   output  y0       y1       y2 ...        position of y(n) = n * inRate / outRate
//
// The coefficients are tabled per fractional position (phase). The
// position is kept as a whole input frame plus a fraction in units of
// 1/outRate, so it never drifts; when the rates share a large divisor (22050
// to 44100, 48000 to 44100) every phase has its exact row, otherwise the
// fraction is rounded to the nearest of a few thousand rows.
//
// Channels: stereo to mono averages before filtering, mono to stereo
// duplicates after it, so the filter runs on the fewer channels. Equal rates
// skip the filter and map channels only. The output lasts as long as the
// input: ceil(inFrames * outRate / inRate) frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_decoder.h"

class PcmConverter : public AudioDecoder {
 public:
  // Both formats must be valid (rate within kMinPcmRate..kMaxPcmRate, one
  // or two channels); ConvertTo checks that.
  PcmConverter(std::unique_ptr<AudioDecoder> source, PcmFormat target);

  PcmFormat Format() const override { return target_; }
  size_t Read(int16_t* out, size_t frames) override;
  bool Failed() const override { return source_->Failed(); }

 private:
  void BuildKernel();
  size_t ReadSameRate(int16_t* out, size_t frames);
  size_t ReadResampled(int16_t* out, size_t frames);
  // Appends the next block of source frames, in the filter's channels, to
  // the input window; false once the source is exhausted.
  bool PullSource();
  void DropConsumedInput();
  // One source frame's samples into `out`, in `outChannels` channels.
  template <typename T>
  void MapChannels(const int16_t* in, T* out, size_t frames, int outChannels) const;

  std::unique_ptr<AudioDecoder> source_;
  PcmFormat from_;
  PcmFormat target_;
  int filterChannels_;           // min(from_.channels, target_.channels)
  std::vector<int16_t> block_;   // raw frames from the source

  // The filter: (phases_ + 1) rows of taps_ coefficients; output frame n
  // reads input frames whole - left_ ... whole - left_ + taps_ - 1.
  int taps_ = 0;
  int left_ = 0;
  uint64_t phases_ = 0;
  std::vector<float> kernel_;

  int64_t whole_ = 0;     // input frame at or before the next output frame
  uint64_t fraction_ = 0; // and the distance past it, in 1/target_.rate
  std::vector<float> window_;   // input frames from windowStart_ on, filterChannels_ each
  int64_t windowStart_ = 0;
  int64_t inputFrames_ = 0;     // real frames taken from the source so far
  bool sourceEnded_ = false;
};
