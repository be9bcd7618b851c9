// The two caption slots of the Direct3D slideshow. Slot s is the renderer,
// the texture set, the strip and the offset of the slideshow's caption slot
// s: the slideshow names the current one and exchanges them by turning its
// slot index, so a caption is prepared in one slot while the other shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/texture_win32.h"
#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/caption_renderer_win32.h"
#include "slideshow/caption_strip.h"
#include "slideshow/frame_stats.h"

struct CaptionStyle {
  std::string face = "Arial";
  int32_t height = -14;
  uint8_t bold = 1;
  uint8_t italic = 0;
  int32_t orientation = 1;
  int32_t quality = 4;
  uint8_t mipMap = 0;
};

class CaptionSlots : public CaptionTarget {
 public:
  void SetStyle(const CaptionStyle& captionStyle) { style = captionStyle; }
  // Makes the renderers, textures and strips; without a Direct3D device
  // (fast mode) nothing is made and the slots stay closed.
  void Open(int32_t tileLimit, int32_t textureBits) override;
  void Render(int32_t slot, const char* text) override;
  void Step(int32_t slot) override;
  // Finishes the slot's copies and draws its strip at `alpha` along the
  // bottom of the screen, the world transform moved there and back.
  void Draw(int32_t slot, float alpha, float viewBottom);
  bool IsOpen() const { return open; }
  int32_t TextureBits() const { return bits; }
  float CaptionOffset(int32_t slot) const { return slots[slot & 1].captionOffset; }
  // Time spent drawing and copying captions: count is the captions
  // rendered, the total all their work, wherever it was done.
  const DurationStats& RenderingStats() const { return rendering; }

 private:
  struct Slot {
    CaptionRenderer renderer;
    std::vector<std::unique_ptr<cTexture>> textures;
    std::vector<cTexture*> set;
    CaptionStrip strip;
    float captionOffset = 0.0f;
  };

  CaptionStyle style;
  Slot slots[2];
  int32_t bits = 16;
  bool open = false;
  DurationStats rendering;
};
