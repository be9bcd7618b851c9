// Tile textures of the Direct3D slideshow: each tile is a cTexture whose
// levels are copied from the texels the loader thread prepared.
#pragma once

#include "graphics/texture_win32.h"
#include "slideshow/image_loader.h"
#include "slideshow/slide_image.h"

class SlideTextureD3D : public SlideTexture {
 public:
  cTexture texture;
};

// The surface a tile draws with; null for a tile without a texture.
IDirectDrawSurface7* TileSurface(const SlideTile& tile);

class Direct3DTileBackend : public ImagingBackend {
 public:
  std::unique_ptr<SlidePicture> NewPicture() override;
  SlideTexture* UploadTile(const TilePixels& tile, int32_t bits, int32_t mipLevels) override;
};
