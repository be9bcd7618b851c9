#include "slideshow/caption_slots_win32.h"

#include <d3d.h>

#include "foundation/logger.h"
#include "foundation/perf_timer.h"
#include "graphics/graphics_layer_win32.h"

namespace {

// 32-bit caption textures need a 32-bit RGB format and some format with
// alpha; otherwise they are 16-bit and blended by colour.
bool OffersCaptionTextures32() {
  try {
    cTexture::EnumerateTextureFormats();
  } catch (...) {
    return false;
  }
  bool rgb32 = false, alpha = false;
  for (const DDPIXELFORMAT& f : cTexture::GetTextureFormats()) {
    if ((f.dwFlags & DDPF_RGB) && f.dwRGBBitCount == 32) rgb32 = true;
    if (f.dwFlags & DDPF_ALPHAPIXELS) alpha = true;
  }
  return rgb32 && alpha;
}

D3DMATRIX MovedBy(const D3DMATRIX& m, float y) {
  D3DMATRIX moved = m;
  moved._42 += y;
  return moved;
}

}  // namespace

void CaptionSlots::Open(int32_t tileLimit, int32_t textureBits) {
  (void)textureBits;  // captions choose their own depth from the device
  if (theGraphicsLayer == nullptr || theGraphicsLayer->GetDevice() == nullptr) return;
  bits = OffersCaptionTextures32() ? 32 : 16;
  for (Slot& slot : slots) {
    CaptionRenderer& r = slot.renderer;
    r.SetFormat(kCaptionWordBreak | kCaptionCentre);
    r.SetSize(kCaptionAreaWidth, kCaptionAreaHeight, tileLimit, bits);
    r.SetBackground(RGB(0, 0, 0));
    r.SetShadow(1);
    r.SetShadowOffset(2);
    r.SetAlphaGain(10.0f);
    r.SetAlphaFromBrightness(bits == 32 ? 1 : 0);
  }
  const CaptionGrid& grid = slots[0].renderer.Grid();
  const int32_t mipLevels = style.mipMap ? 4 : 1;
  for (Slot& slot : slots) {
    slot.textures.clear();
    slot.set.clear();
    for (int32_t k = 0; k < grid.Count(); ++k) {
      auto texture = std::make_unique<cTexture>();
      try {
        texture->CreateSurfaceOfDepth(kCaptionAreaWidth / grid.columns,
                                      kCaptionAreaHeight / grid.rows, bits, 0, mipLevels);
      } catch (...) {
        // A texture that can't be made draws as an untextured tile no more.
      }
      slot.set.push_back(texture.get());
      slot.textures.push_back(std::move(texture));
    }
  }
  for (Slot& slot : slots) {
    CaptionRenderer& r = slot.renderer;
    r.SetFormat(CaptionFormatFor(style.orientation));
    if (!r.SetFont(style.face.c_str(), style.height, 0, style.bold ? 700 : 400, RGB(255, 255, 255),
                   style.italic, 0, 0, 4, static_cast<uint32_t>(style.quality), 0)) {
      ZV_LOG_ERROR("Unable to create caption font!");
    }
    r.SetText("", slot.set.data(), static_cast<int32_t>(slot.set.size()));  // starts blank
    r.SetStepwise(1);
    slot.strip.stripWidth = kCaptionStripWidth;
    slot.strip.stripHeight = kCaptionStripHeight;
    slot.strip.Build(grid.columns, grid.rows, slot.set.data());
    slot.captionOffset = CaptionOffsetFor(0, kCaptionStripHeight);
  }
  open = true;
}

void CaptionSlots::Render(int32_t index, const char* text) {
  if (!open) return;
  Slot& slot = slots[index & 1];
  CPerfTimer timer(true);
  const int32_t textHeight =
      slot.renderer.SetText(text, slot.set.data(), static_cast<int32_t>(slot.set.size()));
  slot.captionOffset = CaptionOffsetFor(textHeight, slot.strip.stripHeight);
  rendering.Add(static_cast<double>(timer.Elapsed()));
}

void CaptionSlots::Step(int32_t index) {
  if (!open || !slots[index & 1].renderer.Pending()) return;
  CPerfTimer timer(true);
  slots[index & 1].renderer.Step();
  rendering.totalMs += static_cast<double>(timer.Elapsed());
}

void CaptionSlots::Draw(int32_t index, float alpha, float viewBottom) {
  if (!open || theGraphicsLayer == nullptr) return;
  Slot& slot = slots[index & 1];
  if (slot.renderer.Pending()) {
    CPerfTimer timer(true);
    slot.renderer.Finish();  // a caption never shows half copied
    rendering.totalMs += static_cast<double>(timer.Elapsed());
  }
  IDirect3DDevice7* device = theGraphicsLayer->GetDevice();
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  D3DMATRIX world;
  theGraphicsLayer->GetWorldMatrix(&world);
  theGraphicsLayer->SetWorldMatrix(
      MovedBy(world, CaptionCentreY(viewBottom, slot.strip.stripHeight, slot.captionOffset)));
  slot.strip.Draw(alpha, bits);
  theGraphicsLayer->SetWorldMatrix(world);
}
