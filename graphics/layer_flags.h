// Creation flags of the graphics layer and the z-buffer format rule they
// drive. Portable so the rule can be checked without a device.
#pragma once

#include <cstdint>

const uint32_t kGraphicsZBuffer = 0x01;       // z-buffer of at least 15 bits
const uint32_t kGraphicsZBuffer24 = 0x02;     // z-buffer of at least 24 bits
const uint32_t kGraphicsStencil1 = 0x04;      // stencil of at least 1 bit
const uint32_t kGraphicsStencil8 = 0x08;      // stencil of at least 8 bits
const uint32_t kGraphicsNoSoftware = 0x10;    // skip the RGB and reference devices
const uint32_t kGraphicsNoHardware = 0x20;    // skip the hardware devices
const uint32_t kGraphicsFullScreen16 = 0x40;  // full screen at 16 bits (else 32)

inline bool WantsZBuffer(uint32_t flags) {
  return (flags & (kGraphicsZBuffer | kGraphicsZBuffer24)) != 0;
}

// Whether a z-buffer format of `zBufferBits` in total, `stencilBits` of them
// stencil, meets the depth and stencil that `flags` ask for.
inline bool ZFormatPasses(uint32_t flags, uint32_t zBufferBits, uint32_t stencilBits) {
  if (stencilBits > zBufferBits) return false;
  const uint32_t depth = zBufferBits - stencilBits;
  if (depth < ((flags & kGraphicsZBuffer24) ? 24u : 15u)) return false;
  if (flags & kGraphicsStencil8) return stencilBits >= 8;
  if (flags & kGraphicsStencil1) return stencilBits >= 1;
  return true;
}
