// Mip-map arithmetic of the texture code, kept apart from DirectDraw so it
// can be checked natively: how many levels a texture gets, and how one level
// is filled from the one above it (a 2 x 2 box filter, truncating).
#pragma once

#include <cstdint>

// Levels for a width x height texture when `requested` are asked for. A
// request below 1 means 1. A request that would take the smaller side below
// 2 gets the full chain instead, down to a smaller side of 1.
int MipLevelCount(uint32_t width, uint32_t height, int requested);

// One locked level: `pitch` is the distance in bytes between rows.
struct MipPlane {
  uint8_t* bits;
  int32_t pitch;
  int32_t width;
  int32_t height;
};

// Every child pixel (x, y) becomes the average of parent pixels (2x, 2y),
// (2x+1, 2y), (2x, 2y+1) and (2x+1, 2y+1). A parent side of one pixel is
// reused rather than read past.
// 32 bits per pixel: each of the four bytes on its own, alpha included.
void AverageMipLevel32(const MipPlane& parent, const MipPlane& child);
// 16 bits per pixel: each colour channel under its mask; other bits are 0.
void AverageMipLevel16(const MipPlane& parent, const MipPlane& child, uint32_t redMask,
                       uint32_t greenMask, uint32_t blueMask);
