// Photographs and skin pictures come from bundles that anyone can replace.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bundle/image_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A lower pixel limit than the program's keeps each run quick and within
  // the fuzzer's memory; the decoding paths are the same.
  constexpr uint64_t kLimit = uint64_t{64} << 20;
  CImageData image;
  if (!image.Decode(data, size, kLimit)) {
    if (!image.IsEmpty()) __builtin_trap();
    return 0;
  }
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  if (!ImageSizeAllowed(width, height, kLimit) || image.GetPixels() == nullptr) __builtin_trap();
  // Larger pictures make slow runs without reaching new code.
  if (width > 2048 || height > 2048 || static_cast<int64_t>(width) * height > (1 << 18)) return 0;

  // What the bitmap writer makes reads back as the same colours.
  const std::vector<uint8_t> bitmap = image.EncodeWindowsBitmap();
  CImageData back;
  if (!back.Decode(bitmap.data(), bitmap.size())) __builtin_trap();
  if (back.GetWidth() != width || back.GetHeight() != height) __builtin_trap();
  for (size_t i = 0; i < static_cast<size_t>(width) * height * 4; i += 4) {
    for (size_t c = 0; c < 3; ++c)
      if (back.GetPixels()[i + c] != image.GetPixels()[i + c]) __builtin_trap();
  }
  if (!image.Resize(width / 3 + 1, height * 2 / 3 + 1)) __builtin_trap();
  return 0;
}
