#ifndef ZV_BUNDLE_RESAMPLER_H
#define ZV_BUNDLE_RESAMPLER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Resampling of opaque four-channel 8-bit pictures in fixed point, the
// loader's hot path between a scaled decode and the tiles: separable, each
// output row made from the source rows under its filter and then across, so
// the only extra memory is one row. Edges repeat the outermost pixels.
// Weights of every output pixel sum to exactly one, so a flat colour (and an
// alpha of 255) comes out unchanged.

enum class ResampleKernel {
  Box,       // the source pixels the output pixel covers, averaged
  Triangle,  // linear
  Mitchell,  // cubic, B = C = 1/3: soft, no ringing; for shrinking
  CatmullRom,  // cubic, B = 0, C = 1/2: sharp; for enlarging
  Smooth,      // per axis, Mitchell where it shrinks and Catmull-Rom where it grows
};

// False, with nothing written, for empty sizes or when memory is short.
bool ResampleOpaque(const uint8_t* source, int sourceWidth, int sourceHeight, size_t sourceStride,
                    uint8_t* target, int targetWidth, int targetHeight, size_t targetStride,
                    ResampleKernel kernel);

// The same resampling fed one source row at a time, top down, for a caller
// that never holds the whole source (a decoder's rows): only the rows under
// the vertical filter are kept. Each output row goes to the sink, top down,
// as soon as the source rows under it are in; the row is the resampler's
// and is only valid during the call.
class RowResampler {
 public:
  using Sink = std::function<void(int y, const uint8_t* row)>;
  RowResampler();
  ~RowResampler();
  RowResampler(const RowResampler&) = delete;
  RowResampler& operator=(const RowResampler&) = delete;

  // False for empty sizes or when memory is short.
  bool Start(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, ResampleKernel kernel,
             Sink sink);
  // 4 x sourceWidth bytes; rows past sourceHeight are ignored.
  void Push(const uint8_t* sourceRow);

 private:
  struct Weights;
  uint8_t* RingRow(int row);

  std::unique_ptr<Weights> weights_;
  Sink sink_;
  int sourceHeight_ = 0;
  int targetWidth_ = 0;
  int targetHeight_ = 0;
  int taps_ = 0;
  size_t rowValues_ = 0;
  int pushed_ = 0;
  int made_ = 0;
  std::vector<uint8_t> ring_;  // the last `taps_` source rows
  std::vector<int32_t> sums_;
  std::vector<int16_t> column_;
  std::vector<uint8_t> out_;
  std::vector<const uint8_t*> rows_;
};

#endif  // ZV_BUNDLE_RESAMPLER_H
