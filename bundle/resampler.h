#ifndef ZV_BUNDLE_RESAMPLER_H
#define ZV_BUNDLE_RESAMPLER_H

#include <cstddef>
#include <cstdint>

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

#endif  // ZV_BUNDLE_RESAMPLER_H
