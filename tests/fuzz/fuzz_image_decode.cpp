// Photographs and skin pictures come from bundles that anyone can replace.
// Each input goes through the full decode, the scaled JPEG decode and the
// decode straight to rows that the slide loader uses, and the header-only
// size read, which must all agree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bundle/image_data.h"

namespace {

// A lower pixel limit than the program's keeps each run quick and within
// the fuzzer's memory; the decoding paths are the same.
constexpr uint64_t kLimit = uint64_t{64} << 20;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckDecoded(const CImageData& image, bool decoded) {
  if (!decoded) {
    Require(image.IsEmpty());
    return;
  }
  Require(ImageSizeAllowed(image.GetWidth(), image.GetHeight(), kLimit) && image.GetPixels() != nullptr);
}

// What the bitmap writer makes reads back as the same colours.
void CheckBitmapRoundTrip(CImageData& image) {
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  const std::vector<uint8_t> bitmap = image.EncodeWindowsBitmap();
  CImageData back;
  Require(back.Decode(bitmap.data(), bitmap.size()));
  Require(back.GetWidth() == width && back.GetHeight() == height);
  for (size_t i = 0; i < static_cast<size_t>(width) * height * 4; i += 4) {
    for (size_t c = 0; c < 3; ++c) Require(back.GetPixels()[i + c] == image.GetPixels()[i + c]);
  }
  Require(image.Resize(width / 3 + 1, height * 2 / 3 + 1));
}

// A decode straight to rows hands over each row once, top down.
void CheckRows(const uint8_t* data, size_t size, int width, int height) {
  int nextRow = 0;
  const RowDecode rows = DecodeRowsAtSize(
      data, size, width, height, nullptr, [&](int y, const uint8_t* row) { Require(y == nextRow++ && row != nullptr); },
      kLimit);
  if (rows == RowDecode::Done) Require(nextRow == height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CImageData image;
  const bool decoded = image.Decode(data, size, kLimit);
  CheckDecoded(image, decoded);
  CheckRows(data, size, 16, 16);

  // The smallest scale; it may succeed where the full size is over the limit.
  CImageData smallest;
  CheckDecoded(smallest, smallest.DecodeAtLeast(data, size, 1, 1, nullptr, kLimit));
  if (!decoded) return 0;
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  Require(!smallest.IsEmpty() && smallest.GetWidth() <= width && smallest.GetHeight() <= height);

  // The header tells the size the full decode made.
  int headerWidth = 0;
  int headerHeight = 0;
  Require(ReadUprightImageSize(data, size, headerWidth, headerHeight));
  Require(headerWidth == width && headerHeight == height);

  // A scaled decode reaches what it was asked for.
  const int needWidth = std::max(1, width / 3);
  const int needHeight = std::max(1, height / 5);
  CImageData scaled;
  Require(scaled.DecodeAtLeast(data, size, needWidth, needHeight, nullptr, kLimit));
  Require(scaled.GetWidth() >= needWidth && scaled.GetHeight() >= needHeight);
  Require(scaled.GetWidth() <= width && scaled.GetHeight() <= height);

  // Straight to rows at that size.
  CheckRows(data, size, needWidth, needHeight);

  // Larger pictures make slow runs without reaching new code.
  if (width > 2048 || height > 2048 || static_cast<int64_t>(width) * height > (1 << 18)) return 0;
  CheckBitmapRoundTrip(image);
  return 0;
}
