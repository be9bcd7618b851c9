#include <windows.h>

#include <d3d.h>

#include "graphics/graphics_layer_win32.h"
#include "graphics/texture_win32.h"
#include "slideshow/caption_strip.h"

namespace {

struct CaptionVertex {
  float x, y, z;
  DWORD diffuse;
  float u, v;
};
const DWORD kCaptionVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// Upper left, lower left, lower right, upper right: the slides' winding.
const uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};

DWORD ColourOf(float r, float g, float b, float a) {
  auto c = [](float x) { return static_cast<DWORD>(x <= 0.0f ? 0 : x >= 1.0f ? 255 : x * 255.0f); };
  return (c(a) << 24) | (c(r) << 16) | (c(g) << 8) | c(b);
}

}  // namespace

void CaptionStrip::Draw(float alpha, int32_t bits) {
  if (theGraphicsLayer == nullptr) return;
  IDirect3DDevice7* device = theGraphicsLayer->GetDevice();
  D3DMATERIAL7 material = {};
  if (bits == 32) {
    material.diffuse = {1.0f, 1.0f, 1.0f, alpha};
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  } else {
    // Colour blending: white text lightens the picture, black leaves it.
    material.diffuse = {alpha, alpha, alpha, 1.0f};
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCCOLOR);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCCOLOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  }
  material.ambient = material.diffuse;
  device->SetMaterial(&material);
  // The vertices carry the same colour, whichever source the lighting takes.
  const DWORD diffuse =
      ColourOf(material.diffuse.r, material.diffuse.g, material.diffuse.b, material.diffuse.a);

  for (const CaptionStripTile& t : tiles) {
    if (FAILED(theGraphicsLayer->BeginScene())) return;
    const CaptionVertex quad[4] = {{t.left, t.top, 0.0f, diffuse, 0.0f, 0.0f},
                                   {t.left, t.bottom, 0.0f, diffuse, 0.0f, t.vMax},
                                   {t.right, t.bottom, 0.0f, diffuse, t.uMax, t.vMax},
                                   {t.right, t.top, 0.0f, diffuse, t.uMax, 0.0f}};
    device->SetTexture(0, t.texture != nullptr ? t.texture->GetSurface() : nullptr);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kCaptionVertexFormat,
                                 const_cast<CaptionVertex*>(quad), 4,
                                 const_cast<uint16_t*>(kIndices), 6, 0);
    theGraphicsLayer->EndScene();
  }
}
