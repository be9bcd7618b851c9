#include "slideshow/slide_textures_win32.h"

#include <windows.h>

#include <cstring>

#include "graphics/graphics_layer_win32.h"
#include "slideshow/bundle_slideshow_host.h"

namespace {

// Room for the tiles of about two slides made for a large screen at the
// highest detail; crammed slides need a fraction of it.
const size_t kKeptTileBytes = 96u << 20;

// One colour channel of an 8-bit value under a 16-bit pixel's mask.
uint32_t UnderMask(uint8_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  int bits = 0;
  while (((mask >> (shift + bits)) & 1u) != 0) ++bits;
  return (static_cast<uint32_t>(value) >> (8 - bits)) << shift;
}

// Copies one level's B G R A texels into the locked surface.
void CopyLevel(const std::vector<uint8_t>& texels, int32_t width, int32_t height, IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) return;
  const int32_t rows = std::min<int32_t>(height, static_cast<int32_t>(desc.dwHeight));
  const int32_t columns = std::min<int32_t>(width, static_cast<int32_t>(desc.dwWidth));
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* from = texels.data() + static_cast<size_t>(y) * width * 4;
    uint8_t* to = base + static_cast<size_t>(y) * desc.lPitch;
    if (format.dwRGBBitCount == 32) {
      std::memcpy(to, from, static_cast<size_t>(columns) * 4);
    } else if (format.dwRGBBitCount == 16) {
      auto* pixels = reinterpret_cast<uint16_t*>(to);
      for (int32_t x = 0; x < columns; ++x, from += 4) {
        pixels[x] = static_cast<uint16_t>(UnderMask(from[2], format.dwRBitMask) |
                                          UnderMask(from[1], format.dwGBitMask) |
                                          UnderMask(from[0], format.dwBBitMask));
      }
    }
  }
  surface->Unlock(nullptr);
}

}  // namespace

SlideTextureD3D::~SlideTextureD3D() {
  if (std::shared_ptr<TileShelf> kept = shelf.lock()) kept->Keep(shape, std::move(texture));
}

IDirectDrawSurface7* TileSurface(const SlideTile& tile) {
  auto* holder = static_cast<SlideTextureD3D*>(tile.texture);
  return holder == nullptr ? nullptr : holder->texture->GetSurface();
}

Direct3DTileBackend::Direct3DTileBackend() : shelf_(std::make_shared<TileShelf>(kKeptTileBytes)) {}

std::unique_ptr<SlidePicture> Direct3DTileBackend::NewPicture() { return std::make_unique<ImagePicture>(); }

SlideTexture* Direct3DTileBackend::UploadTile(const TilePixels& tile, int32_t bits, int32_t mipLevels) {
  const TileShape shape{tile.width, tile.height, mipLevels, bits};
  // A tile without texels is drawn from a new texture, not an old photograph.
  std::unique_ptr<cTexture> texture = tile.levels.empty() ? nullptr : shelf_->Take(shape);
  IDirectDrawSurface7* surface = texture != nullptr ? texture->GetSurface() : nullptr;
  if (surface != nullptr) {
    ++reused_;
  } else {
    texture = std::make_unique<cTexture>();
    surface = texture->CreateSurfaceOfDepth(tile.width, tile.height, bits, 0, mipLevels);
    ++made_;
  }
  auto holder = std::make_unique<SlideTextureD3D>(std::move(texture), shape, shelf_);
  if (tile.levels.empty()) return holder.release();  // a black tile rather than none

  DDSCAPS2 caps = {};
  caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
  IDirectDrawSurface7* level = surface;
  level->AddRef();
  for (size_t k = 0; k < tile.levels.size() && level != nullptr; ++k) {
    CopyLevel(tile.levels[k], tile.LevelWidth(static_cast<int32_t>(k)), tile.LevelHeight(static_cast<int32_t>(k)),
              level);
    IDirectDrawSurface7* below = nullptr;
    if (k + 1 < tile.levels.size() && FAILED(level->GetAttachedSurface(&caps, &below))) below = nullptr;
    level->Release();
    level = below;
  }
  if (level != nullptr) level->Release();
  // Hands the texture to the card now, so its first draw does not stall.
  if (theGraphicsLayer != nullptr && theGraphicsLayer->GetDevice() != nullptr)
    theGraphicsLayer->GetDevice()->PreLoad(surface);
  return holder.release();
}
