#include "graphics/texture_win32.h"

#include <cstring>

#include "graphics/game_error_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "graphics/mip_chain.h"
#include "graphics/release_win32.h"

std::vector<DDPIXELFORMAT> cTexture::textureFormats;
bool cTexture::mipmapSupported = false;

namespace {

const size_t kReservedFormats = 100;
const DWORD kMipFilterCaps = D3DPTFILTERCAPS_MIPNEAREST | D3DPTFILTERCAPS_MIPLINEAR |
                             D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR;

HRESULT CALLBACK OnTextureFormat(DDPIXELFORMAT* format, void* context) {
  if (format != nullptr) static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
  return D3DENUMRET_OK;
}

DDPIXELFORMAT RgbFormat(DWORD bits, DWORD alpha, DWORD red, DWORD green, DWORD blue) {
  DDPIXELFORMAT format;
  std::memset(&format, 0, sizeof(format));
  format.dwSize = sizeof(format);
  format.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
  format.dwRGBBitCount = bits;
  format.dwRGBAlphaBitMask = alpha;
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  return format;
}

int BitCount(DWORD mask) {
  int count = 0;
  for (; mask != 0; mask &= mask - 1) ++count;
  return count;
}

bool SameMaskSizes(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  return BitCount(a.dwRBitMask) == BitCount(b.dwRBitMask) &&
         BitCount(a.dwGBitMask) == BitCount(b.dwGBitMask) &&
         BitCount(a.dwBBitMask) == BitCount(b.dwBBitMask) &&
         BitCount(a.dwRGBAlphaBitMask) == BitCount(b.dwRGBAlphaBitMask);
}

MipPlane PlaneOf(const DDSURFACEDESC2& locked) {
  MipPlane plane;
  plane.bits = static_cast<uint8_t*>(locked.lpSurface);
  plane.pitch = locked.lPitch;
  plane.width = static_cast<int32_t>(locked.dwWidth);
  plane.height = static_cast<int32_t>(locked.dwHeight);
  return plane;
}

}  // namespace

cTexture::cTexture() : surface(nullptr), stage(0) {
  std::memset(&desc, 0, sizeof(desc));
  // Textures may be made before the device exists (arrays of tiles); the
  // formats are then enumerated by the first CreateSurface.
  if (textureFormats.empty() && theGraphicsLayer != nullptr &&
      theGraphicsLayer->GetDevice() != nullptr) {
    EnumerateTextureFormats();
  }
}

cTexture::~cTexture() {
  SafeRelease(surface);
  name.clear();
}

void cTexture::EnumerateTextureFormats() {
  if (!textureFormats.empty()) return;
  IDirect3DDevice7* device = theGraphicsLayer != nullptr ? theGraphicsLayer->GetDevice() : nullptr;
  if (device == nullptr) throw cGameError("Couldn't enumerate texture formats");
  textureFormats.reserve(kReservedFormats);
  if (FAILED(device->EnumTextureFormats(OnTextureFormat, &textureFormats))) {
    textureFormats.clear();
    throw cGameError("Couldn't enumerate texture formats");
  }
  mipmapSupported =
      (theGraphicsLayer->GetDeviceDesc().dpcTriCaps.dwTextureFilterCaps & kMipFilterCaps) != 0;
}

bool cTexture::FindTextureFormat(const DDPIXELFORMAT& wanted, DDPIXELFORMAT* found) {
  for (const DDPIXELFORMAT& format : textureFormats) {
    if ((format.dwFlags & DDPF_FOURCC) || !SameMaskSizes(format, wanted)) continue;
    *found = format;
    return true;
  }
  return false;
}

IDirectDrawSurface7* cTexture::CreateSurface32(int width, int height, int stage, int mipLevels) {
  return CreateSurface(width, height, stage, mipLevels,
                       RgbFormat(32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF));
}

IDirectDrawSurface7* cTexture::CreateSurface16(int width, int height, int stage, int mipLevels) {
  return CreateSurface(width, height, stage, mipLevels, RgbFormat(16, 0, 0xF800, 0x07E0, 0x001F));
}

IDirectDrawSurface7* cTexture::CreateSurfaceOfDepth(int width, int height, int bits, int stage,
                                                    int mipLevels) {
  if (bits == 32) return CreateSurface32(width, height, stage, mipLevels);
  return CreateSurface16(width, height, stage, mipLevels);
}

IDirectDrawSurface7* cTexture::CreateSurface(int width, int height, int stage, int mipLevels,
                                             const DDPIXELFORMAT& format) {
  this->stage = stage;
  const int levels =
      MipLevelCount(static_cast<uint32_t>(width), static_cast<uint32_t>(height), mipLevels);
  EnumerateTextureFormats();
  SafeRelease(surface);

  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat = format;
  if (stage == -1) {
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  } else if (mipmapSupported) {
    desc.dwFlags |= DDSD_MIPMAPCOUNT;
    desc.dwMipMapCount = levels;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  } else {
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  }

  IDirectDraw7* ddraw = theGraphicsLayer != nullptr ? theGraphicsLayer->GetDDraw() : nullptr;
  if (ddraw == nullptr || FAILED(ddraw->CreateSurface(&desc, &surface, nullptr))) {
    surface = nullptr;
    throw cGameError("Couldn't create surface");
  }
  // Callers read the layout of the pixels from here; the device's own entry
  // carries the flags it reports. Without a match the requested format stays.
  FindTextureFormat(format, &desc.ddpfPixelFormat);
  return surface;
}

void cTexture::GenerateMipMaps() {
  if (surface == nullptr || !mipmapSupported) return;
  DDSCAPS2 caps;
  std::memset(&caps, 0, sizeof(caps));
  caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;

  IDirectDrawSurface7* current = surface;
  current->AddRef();
  IDirectDrawSurface7* next = nullptr;
  while (SUCCEEDED(current->GetAttachedSurface(&caps, &next)) && next != nullptr) {
    FillMipLevel(current, next);
    SafeRelease(current);
    current = next;
    next = nullptr;
  }
  SafeRelease(current);
}

void cTexture::FillMipLevel(IDirectDrawSurface7* parent, IDirectDrawSurface7* child) {
  DDSURFACEDESC2 parentDesc;
  DDSURFACEDESC2 childDesc;
  std::memset(&parentDesc, 0, sizeof(parentDesc));
  std::memset(&childDesc, 0, sizeof(childDesc));
  parentDesc.dwSize = sizeof(parentDesc);
  childDesc.dwSize = sizeof(childDesc);

  if (FAILED(parent->Lock(nullptr, &parentDesc, DDLOCK_WAIT, nullptr))) return;
  if (FAILED(child->Lock(nullptr, &childDesc, DDLOCK_WAIT, nullptr))) {
    parent->Unlock(nullptr);
    return;
  }
  const DDPIXELFORMAT& format = parentDesc.ddpfPixelFormat;
  if (format.dwRGBBitCount == 32) {
    AverageMipLevel32(PlaneOf(parentDesc), PlaneOf(childDesc));
  } else if (format.dwRGBBitCount == 16) {
    AverageMipLevel16(PlaneOf(parentDesc), PlaneOf(childDesc), format.dwRBitMask,
                      format.dwGBitMask, format.dwBBitMask);
  }
  child->Unlock(nullptr);
  parent->Unlock(nullptr);
}
