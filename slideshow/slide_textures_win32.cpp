#include "slideshow/slide_textures_win32.h"

#include <windows.h>

#include "slideshow/bundle_slideshow_host.h"

IDirectDrawSurface7* TileSurface(const SlideTile& tile) {
  auto* holder = static_cast<SlideTextureD3D*>(tile.texture);
  return holder == nullptr ? nullptr : holder->texture.GetSurface();
}

std::unique_ptr<SlidePicture> Direct3DTileBackend::NewPicture() { return std::make_unique<ImagePicture>(); }

SlideTexture* Direct3DTileBackend::UploadTile(SlidePicture& picture, const TileUpload& upload,
                                              int32_t bits, int32_t mipLevels) {
  auto holder = std::make_unique<SlideTextureD3D>();
  IDirectDrawSurface7* surface =
      holder->texture.CreateSurfaceOfDepth(upload.textureWidth, upload.textureHeight, bits, 0, mipLevels);
  HDC dc = nullptr;
  if (FAILED(surface->GetDC(&dc))) return holder.release();  // a black tile rather than none
  const CImageData& pixels = static_cast<ImagePicture&>(picture).Data();
  const TileRect& src = upload.source;
  if (upload.fill == kTileFillStretch) {
    pixels.Stretch(dc, 0, 0, upload.textureWidth, upload.textureHeight, src.x, src.y, src.width,
                   src.height, HALFTONE, SRCCOPY);
  } else {
    pixels.Draw(dc, 0, 0, src.width, src.height, src.x, src.y, 0, SRCCOPY);
  }
  surface->ReleaseDC(dc);
  holder->texture.GenerateMipMaps();
  return holder.release();
}
