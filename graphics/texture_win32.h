// One Direct3D texture surface of the graphics layer, made in the two pixel
// formats the slideshow and the captions use: 32 bits with alpha
// (A8 R8 G8 B8) and 16 bits without (R5 G6 B5). Textures are managed by
// Direct3D, so they survive without our own restore code.
//
// The device's texture formats are enumerated once per process, on the first
// texture made while a device exists; so is whether the device can filter
// between mip levels. Without that, textures get a single level and
// GenerateMipMaps does nothing.
#pragma once

#include <windows.h>

#include <ddraw.h>
#include <d3d.h>

#include <cstdint>
#include <string>
#include <vector>

class cTexture {
 public:
  // Enumerates the texture formats when none are known yet and a device exists.
  cTexture();
  // Releases the surface.
  virtual ~cTexture();
  cTexture(const cTexture&) = delete;
  cTexture& operator=(const cTexture&) = delete;

  // Each makes the surface, keeps it and returns it; throws
  // "Couldn't create surface" when DirectDraw refuses. `stage` -1 makes a
  // plain off-screen surface instead of a texture. `mipLevels` follows
  // MipLevelCount (graphics/mip_chain.h).
  IDirectDrawSurface7* CreateSurface32(int width, int height, int stage, int mipLevels);
  IDirectDrawSurface7* CreateSurface16(int width, int height, int stage, int mipLevels);
  // 32 bits when `bits` is 32, otherwise 16.
  IDirectDrawSurface7* CreateSurfaceOfDepth(int width, int height, int bits, int stage,
                                            int mipLevels);

  // Fills every lower mip level from the one above it; the caller fills the
  // top level first. Does nothing without a surface or mip filtering.
  void GenerateMipMaps();
  // Fills `child` from `parent` with a 2 x 2 box filter at 32 or 16 bits per
  // pixel; other depths, or a failed lock, leave `child` as it was.
  static void FillMipLevel(IDirectDrawSurface7* parent, IDirectDrawSurface7* child);

  // The first known format without a FourCC whose red, green, blue and alpha
  // masks have as many bits as those of `wanted`; false when none has.
  static bool FindTextureFormat(const DDPIXELFORMAT& wanted, DDPIXELFORMAT* found);
  // Fills the process-wide format list from the layer's device when it is
  // still empty. Throws "Couldn't enumerate texture formats".
  static void EnumerateTextureFormats();

  IDirectDrawSurface7* GetSurface() const { return surface; }
  const DDSURFACEDESC2& GetDesc() const { return desc; }
  const std::string& GetName() const { return name; }
  int32_t GetStage() const { return stage; }

  static const std::vector<DDPIXELFORMAT>& GetTextureFormats() { return textureFormats; }
  static bool IsMipmapSupported() { return mipmapSupported; }

 private:
  IDirectDrawSurface7* CreateSurface(int width, int height, int stage, int mipLevels,
                                     const DDPIXELFORMAT& format);

  IDirectDrawSurface7* surface;
  DDSURFACEDESC2 desc;
  std::string name;
  int32_t stage;

  static std::vector<DDPIXELFORMAT> textureFormats;
  static bool mipmapSupported;
};
