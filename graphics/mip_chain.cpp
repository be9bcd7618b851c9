#include "graphics/mip_chain.h"

#include <algorithm>
#include <cstring>

namespace {

int FullChainLength(uint32_t smallerSide) {
  int levels = 1;
  while (smallerSide > 1) {
    smallerSide >>= 1;
    ++levels;
  }
  return levels;
}

// The four parent pixels of child (x, y), clamped to the parent.
struct Quad {
  int32_t x0, x1, y0, y1;
};

Quad ParentQuad(const MipPlane& parent, int32_t x, int32_t y) {
  Quad q;
  q.x0 = std::min(2 * x, parent.width - 1);
  q.x1 = std::min(2 * x + 1, parent.width - 1);
  q.y0 = std::min(2 * y, parent.height - 1);
  q.y1 = std::min(2 * y + 1, parent.height - 1);
  return q;
}

template <class Pixel>
Pixel ReadPixel(const MipPlane& plane, int32_t x, int32_t y) {
  Pixel value;
  std::memcpy(&value, plane.bits + static_cast<intptr_t>(y) * plane.pitch + x * sizeof(Pixel),
              sizeof(Pixel));
  return value;
}

template <class Pixel>
void WritePixel(const MipPlane& plane, int32_t x, int32_t y, Pixel value) {
  std::memcpy(plane.bits + static_cast<intptr_t>(y) * plane.pitch + x * sizeof(Pixel), &value,
              sizeof(Pixel));
}

// Runs `average(p00, p10, p01, p11)` for every child pixel.
template <class Pixel, class Average>
void FillFromParent(const MipPlane& parent, const MipPlane& child, Average average) {
  if (parent.width <= 0 || parent.height <= 0) return;
  for (int32_t y = 0; y < child.height; ++y) {
    for (int32_t x = 0; x < child.width; ++x) {
      const Quad q = ParentQuad(parent, x, y);
      WritePixel<Pixel>(child, x, y,
                        average(ReadPixel<Pixel>(parent, q.x0, q.y0),
                                ReadPixel<Pixel>(parent, q.x1, q.y0),
                                ReadPixel<Pixel>(parent, q.x0, q.y1),
                                ReadPixel<Pixel>(parent, q.x1, q.y1)));
    }
  }
}

}  // namespace

int MipLevelCount(uint32_t width, uint32_t height, int requested) {
  const uint32_t smaller = std::min(width, height);
  int levels = std::max(requested, 1);
  const int shift = levels - 1;
  // A shift past the word is as far below 2 as it gets.
  if (shift >= 32 || (smaller >> shift) < 2) levels = FullChainLength(smaller);
  return levels;
}

void AverageMipLevel32(const MipPlane& parent, const MipPlane& child) {
  FillFromParent<uint32_t>(parent, child, [](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) +
                           ((c >> shift) & 0xFF) + ((d >> shift) & 0xFF);
      result |= (sum >> 2) << shift;
    }
    return result;
  });
}

void AverageMipLevel16(const MipPlane& parent, const MipPlane& child, uint32_t redMask,
                       uint32_t greenMask, uint32_t blueMask) {
  const uint32_t masks[3] = {redMask, greenMask, blueMask};
  FillFromParent<uint16_t>(parent, child, [&masks](uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    uint32_t result = 0;
    for (uint32_t mask : masks) {
      const uint32_t sum = (a & mask) + (b & mask) + (c & mask) + (d & mask);
      result |= (sum >> 2) & mask;
    }
    return static_cast<uint16_t>(result);
  });
}
