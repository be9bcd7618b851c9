// Tile textures of the Direct3D slideshow: each tile is a cTexture whose
// levels are copied from the texels the loader thread prepared. A slide's
// textures go on a shelf when it is deleted, and the next photograph's tiles
// of the same shape are copied into them.
#pragma once

#include <memory>

#include "graphics/texture_win32.h"
#include "slideshow/image_loader.h"
#include "slideshow/slide_image.h"
#include "slideshow/tile_texture_shelf.h"

using TileShelf = TileTextureShelf<cTexture>;

class SlideTextureD3D : public SlideTexture {
 public:
  SlideTextureD3D(std::unique_ptr<cTexture> made, const TileShape& madeShape, std::weak_ptr<TileShelf> keptOn)
      : texture(std::move(made)), shape(madeShape), shelf(std::move(keptOn)) {}
  // Puts the texture on the shelf while the backend lives.
  ~SlideTextureD3D() override;

  std::unique_ptr<cTexture> texture;
  TileShape shape;
  std::weak_ptr<TileShelf> shelf;
};

// The surface a tile draws with; null for a tile without a texture.
IDirectDrawSurface7* TileSurface(const SlideTile& tile);

class Direct3DTileBackend : public ImagingBackend {
 public:
  // The kept textures go with the backend: slides hold the shelf weakly.
  Direct3DTileBackend();

  std::unique_ptr<SlidePicture> NewPicture() override;
  SlideTexture* UploadTile(const TilePixels& tile, int32_t bits, int32_t mipLevels) override;

  int32_t TexturesMade() const { return made_; }
  int32_t TexturesReused() const { return reused_; }

 private:
  std::shared_ptr<TileShelf> shelf_;
  int32_t made_ = 0;
  int32_t reused_ = 0;
};
