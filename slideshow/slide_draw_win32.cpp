#include <windows.h>

#include <d3d.h>

#include "graphics/graphics_layer_win32.h"
#include "slideshow/slide_image.h"
#include "slideshow/slide_textures_win32.h"

void CSlideImage::Draw() {
  if (!meshBuilt) BuildMesh();
  if (theGraphicsLayer == nullptr || FAILED(theGraphicsLayer->BeginScene())) return;
  IDirect3DDevice7* device = theGraphicsLayer->GetDevice();
  for (int32_t column = 0; column < columns; ++column) {
    for (int32_t row = 0; row < rows; ++row) {
      SlideTile& tile = TileAt(column, row);
      device->SetTexture(0, TileSurface(tile));
      device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_TEX1, tile.vertices, 4,
                                   tile.indices, 6, 0);
    }
  }
  theGraphicsLayer->EndScene();
}
