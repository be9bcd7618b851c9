#include "graphics/graphics_layer_win32.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/perf_timer.h"
#include "graphics/game_error_win32.h"
#include "graphics/release_win32.h"

cGraphicsLayer* theGraphicsLayer = nullptr;

namespace {

const float kFieldOfView = 1.5707964f;  // pi / 2
const float kNearPlane = 1.0f;
const float kFarPlane = 1000.0f;
const int kFallbackWidth = 640;
const int kFallbackHeight = 480;
const int kTextureStages = 8;

// One pass of the device search: the first device of the wanted kind that
// the filter accepts.
struct DeviceSearch {
  const GUID* wanted;
  DeviceFilter filter;
  bool found;
  D3DDEVICEDESC7 desc;
};

HRESULT CALLBACK OnDevice(char*, char*, D3DDEVICEDESC7* desc, void* context) {
  DeviceSearch* search = static_cast<DeviceSearch*>(context);
  if (desc == nullptr || !IsEqualGUID(desc->deviceGUID, *search->wanted)) return D3DENUMRET_OK;
  if (search->filter != nullptr && !search->filter(*desc)) return D3DENUMRET_OK;
  search->desc = *desc;
  search->found = true;
  return D3DENUMRET_CANCEL;
}

HRESULT CALLBACK OnZBufferFormat(DDPIXELFORMAT* format, void* context) {
  if (format != nullptr && (format->dwFlags & DDPF_ZBUFFER)) {
    static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
  }
  return D3DENUMRET_OK;
}

bool IsHardwareDevice(const GUID& guid) {
  return IsEqualGUID(guid, IID_IDirect3DHALDevice) || IsEqualGUID(guid, IID_IDirect3DTnLHalDevice);
}

}  // namespace

cGraphicsLayer::cGraphicsLayer(HWND window) {
  if (theGraphicsLayer != nullptr) throw cGameError("cGraphicsLayer object already instantiated\n");
  theGraphicsLayer = this;
  hwnd = window;
  device = nullptr;
  ddraw = nullptr;
  d3d = nullptr;
  primary = nullptr;
  backBuffer = nullptr;
  zBuffer = nullptr;
  std::memset(&deviceDesc, 0, sizeof(deviceDesc));
  std::memset(&screenRect, 0, sizeof(screenRect));
  std::memset(&screenTopLeft, 0, sizeof(screenTopLeft));
  std::memset(&screenBottomRight, 0, sizeof(screenBottomRight));
  std::memset(&zFormat, 0, sizeof(zFormat));
  failed = 0;
  invalidated = 0;
  fieldOfView = kFieldOfView;
  nearPlane = kNearPlane;
  farPlane = kFarPlane;
  fullScreen = false;
  zInVideoMemory = false;
  hasZBuffer = false;
}

cGraphicsLayer::~cGraphicsLayer() {
  if (ddraw != nullptr) ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL);
  if (device != nullptr) {
    // A texture still bound to a stage would keep the device alive.
    for (DWORD stage = 0; stage < kTextureStages; ++stage) device->SetTexture(stage, nullptr);
    ExtraSafeRelease(device);
  }
  SafeRelease(backBuffer);
  SafeRelease(zBuffer);
  SafeRelease(primary);
  SafeRelease(d3d);
  ExtraSafeRelease(ddraw);
  theGraphicsLayer = nullptr;
}

cGraphicsLayer* cGraphicsLayer::CreateGraphicsLayer(HWND window, bool fullScreen, int width,
                                                    int height, uint32_t flags,
                                                    DeviceFilter deviceFilter,
                                                    const GUID* driverGuid) {
  cGraphicsLayer* layer = new cGraphicsLayer(window);
  if (fullScreen) {
    layer->InitDDrawFullScreen(width, height, (flags & kGraphicsFullScreen16) ? 16 : 32);
  } else {
    layer->InitDDrawWindowed(driverGuid);
  }
  layer->InitD3D(flags, deviceFilter);
  layer->invalidated = 1;
  return layer;
}

cGraphicsLayer* cGraphicsLayer::CreateDirectDrawLayer(HWND window, const GUID* driverGuid) {
  cGraphicsLayer* layer = new cGraphicsLayer(window);
  layer->InitDDrawOnly(driverGuid);
  return layer;
}

void cGraphicsLayer::Fail(const char* text) {
  failed = 1;
  throw cGameError(text);
}

void cGraphicsLayer::SoftFail(const char* text) {
  failed = 1;
  OutputDebugStringA(text);
}

void cGraphicsLayer::CreateDirectDraw(const GUID* driverGuid, const char* failureText) {
  HRESULT hr = DirectDrawCreateEx(const_cast<GUID*>(driverGuid), reinterpret_cast<void**>(&ddraw),
                                  IID_IDirectDraw7, nullptr);
  if (FAILED(hr)) {
    ddraw = nullptr;
    Fail(failureText);
  }
}

void cGraphicsLayer::UpdateBounds() {
  GetClientRect(hwnd, &screenRect);
  screenTopLeft.x = screenRect.left;
  screenTopLeft.y = screenRect.top;
  screenBottomRight.x = screenRect.right;
  screenBottomRight.y = screenRect.bottom;
  ClientToScreen(hwnd, &screenTopLeft);
  ClientToScreen(hwnd, &screenBottomRight);
}

void cGraphicsLayer::InitDDrawWindowed(const GUID* driverGuid) {
  fullScreen = false;
  UpdateBounds();
  CreateDirectDraw(driverGuid, "DirectDrawCreateEx failed");
  if (FAILED(ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL))) {
    Fail("SetCooperativeLevel failed");
  }

  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(ddraw->CreateSurface(&desc, &primary, nullptr))) {
    primary = nullptr;
    Fail("Primary surface creation failed");
  }
  CreateBackBuffer();
  CreateClipper();
}

void cGraphicsLayer::CreateBackBuffer() {
  SafeRelease(backBuffer);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  desc.dwWidth = GetWidth();
  desc.dwHeight = GetHeight();
  if (FAILED(ddraw->CreateSurface(&desc, &backBuffer, nullptr))) {
    backBuffer = nullptr;
    Fail("back buffer creation failed");
  }
}

void cGraphicsLayer::CreateClipper() {
  IDirectDrawClipper* clipper = nullptr;
  bool ok = SUCCEEDED(ddraw->CreateClipper(0, &clipper, nullptr)) &&
            SUCCEEDED(clipper->SetHWnd(0, hwnd)) && SUCCEEDED(primary->SetClipper(clipper));
  // The primary surface holds the clipper from here on.
  SafeRelease(clipper);
  if (!ok) Fail("Clipper creation failed");
}

void cGraphicsLayer::InitDDrawFullScreen(int width, int height, int bits) {
  fullScreen = true;
  CreateDirectDraw(nullptr, "Could not create DirectDraw");
  if (FAILED(ddraw->SetCooperativeLevel(hwnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE |
                                                  DDSCL_ALLOWREBOOT))) {
    Fail("Couldn't set coop level");
  }
  SetDisplayMode(width, height, bits);
  CreateFlippingChain();
}

void cGraphicsLayer::SetDisplayMode(int width, int height, int bits) {
  SetRect(&screenRect, 0, 0, width, height);
  if (SUCCEEDED(ddraw->SetDisplayMode(width, height, bits, 0, 0))) return;
  if (SUCCEEDED(ddraw->SetDisplayMode(width, height, 16, 0, 0))) return;
  OutputDebugStringA("Inputted resolution failed, trying 640x480x16\n");
  if (FAILED(ddraw->SetDisplayMode(kFallbackWidth, kFallbackHeight, 16, 0, 0))) {
    Fail("Can't set display mode");
  }
  // The flipping chain, viewport and z-buffer take their size from here.
  SetRect(&screenRect, 0, 0, kFallbackWidth, kFallbackHeight);
}

void cGraphicsLayer::CreateFlippingChain() {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  desc.dwBackBufferCount = 1;
  if (FAILED(ddraw->CreateSurface(&desc, &primary, nullptr))) {
    primary = nullptr;
    Fail("Error: Can't create primary surface");
  }
  DDSCAPS2 caps;
  std::memset(&caps, 0, sizeof(caps));
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  // GetAttachedSurface adds the reference the layer keeps.
  if (FAILED(primary->GetAttachedSurface(&caps, &backBuffer))) {
    backBuffer = nullptr;
    Fail("Error: Can't get the backbuffer");
  }
}

void cGraphicsLayer::InitDDrawOnly(const GUID* driverGuid) {
  fullScreen = false;
  HRESULT hr = DirectDrawCreateEx(const_cast<GUID*>(driverGuid), reinterpret_cast<void**>(&ddraw),
                                  IID_IDirectDraw7, nullptr);
  if (FAILED(hr)) {
    ddraw = nullptr;
    SoftFail("[cGraphicsLayer::InitDDrawOnly]: DirectDrawCreateEx failed\n");
  }
}

void cGraphicsLayer::InitD3D(uint32_t flags, DeviceFilter deviceFilter) {
  if (ddraw == nullptr || primary == nullptr || backBuffer == nullptr) {
    SoftFail("[cGraphicsLayer::InitD3DWindowed]: Error! DDraw not set up correctly; "
             "cannot set up D3D!\n");
    return;
  }
  SafeRelease(device);
  SafeRelease(d3d);
  if (FAILED(ddraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)))) {
    d3d = nullptr;
    Fail("D3D QI failed");
  }

  FindDevice(flags, deviceFilter);
  zInVideoMemory = IsHardwareDevice(deviceDesc.deviceGUID);

  if (WantsZBuffer(flags)) {
    hasZBuffer = true;
    ChooseZFormat(flags);
    MakeZBuffer();
  }

  if (FAILED(d3d->CreateDevice(deviceDesc.deviceGUID, backBuffer, &device))) {
    device = nullptr;
    Fail("CreateDevice failed");
  }
  MakeViewport();
  MakeProjectionMatrix();
}

void cGraphicsLayer::FindDevice(uint32_t flags, DeviceFilter deviceFilter) {
  // Best first: the first kind that has an acceptable device wins.
  std::vector<const GUID*> wanted;
  if (!(flags & kGraphicsNoHardware)) {
    wanted.push_back(&IID_IDirect3DTnLHalDevice);
    wanted.push_back(&IID_IDirect3DHALDevice);
  }
  if (!(flags & kGraphicsNoSoftware)) {
    wanted.push_back(&IID_IDirect3DRGBDevice);
    wanted.push_back(&IID_IDirect3DRefDevice);
  }
  for (const GUID* kind : wanted) {
    DeviceSearch search;
    search.wanted = kind;
    search.filter = deviceFilter;
    search.found = false;
    d3d->EnumDevices(OnDevice, &search);
    if (search.found) {
      deviceDesc = search.desc;
      return;
    }
  }
  Fail("No valid devices were found");
}

void cGraphicsLayer::ChooseZFormat(uint32_t flags) {
  std::vector<DDPIXELFORMAT> formats;
  d3d->EnumZBufferFormats(deviceDesc.deviceGUID, OnZBufferFormat, &formats);
  for (const DDPIXELFORMAT& format : formats) {
    if (ZFormatPasses(flags, format.dwZBufferBitDepth, format.dwStencilBitDepth)) {
      zFormat = format;
      return;
    }
  }
  Fail("[InitD3D]: No good z-buffer format!\n");
}

void cGraphicsLayer::MakeZBuffer() {
  SafeRelease(zBuffer);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps =
      DDSCAPS_ZBUFFER | (zInVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  desc.dwWidth = GetWidth();
  desc.dwHeight = GetHeight();
  desc.ddpfPixelFormat = zFormat;
  if (FAILED(ddraw->CreateSurface(&desc, &zBuffer, nullptr))) {
    zBuffer = nullptr;
    Fail("Failed to create a Z-Buffer surface.\nMost likely the application ran out of memory");
  }
  if (FAILED(backBuffer->AddAttachedSurface(zBuffer))) {
    Fail("[MakeZBuffer]: AddAttachedSurface failed!\n");
  }
  if (device != nullptr) {
    // The device picks up the new depth surface only through its target.
    if (FAILED(device->SetRenderTarget(backBuffer, 0))) {
      Fail("[MakeZBuffer]: SetRenderTarget failed!\n");
    }
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
  }
}

void cGraphicsLayer::MakeViewport() {
  if (device == nullptr) {
    SoftFail("[cGraphicsLayer::MakeViewport]: no device\n");
    return;
  }
  D3DVIEWPORT7 viewport;
  viewport.dwX = 0;
  viewport.dwY = 0;
  viewport.dwWidth = GetWidth();
  viewport.dwHeight = GetHeight();
  viewport.dvMinZ = 0.0f;
  viewport.dvMaxZ = 1.0f;
  if (FAILED(device->SetViewport(&viewport))) Fail("viewport setting failed.");
}

void cGraphicsLayer::MakeProjectionMatrix() {
  const float halfAngle = fieldOfView / 2.0f;
  if (std::fabs(farPlane - nearPlane) < 0.01f || std::fabs(std::sin(halfAngle)) < 0.01f) return;
  if (device == nullptr) return;
  const float q = farPlane / (farPlane - nearPlane);
  const float c = std::cos(halfAngle) / std::sin(halfAngle);
  const float aspect = static_cast<float>(GetHeight()) / static_cast<float>(GetWidth());

  D3DMATRIX matrix;
  std::memset(&matrix, 0, sizeof(matrix));
  matrix._11 = aspect * c;
  matrix._22 = c;
  matrix._33 = q;
  matrix._34 = 1.0f;
  matrix._43 = -q * nearPlane;
  device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &matrix);
}

void cGraphicsLayer::Clear(bool clearTarget, bool clearZ, D3DCOLOR colour, float z) {
  if (backBuffer == nullptr || device == nullptr) return;
  DWORD what = 0;
  if (clearTarget) what |= D3DCLEAR_TARGET;
  if (clearZ) what |= D3DCLEAR_ZBUFFER;
  if (FAILED(device->Clear(0, nullptr, what, colour, z, 0))) {
    OutputDebugStringA("[cGraphicsLayer::Clear]: Clear failed\n");
  }
}

HRESULT cGraphicsLayer::BeginScene() {
  HRESULT hr = device != nullptr ? device->BeginScene() : DDERR_NOTINITIALIZED;
  if (FAILED(hr)) invalidated = 1;
  return hr;
}

HRESULT cGraphicsLayer::EndScene() {
  HRESULT hr = device != nullptr ? device->EndScene() : DDERR_NOTINITIALIZED;
  if (FAILED(hr)) invalidated = 1;
  return hr;
}

HRESULT cGraphicsLayer::Flip(bool noVSync) {
  if (primary == nullptr || backBuffer == nullptr) return 0;
  HRESULT hr;
  const char* failureText;
  if (pacer.PauseMs() > 0) Sleep(static_cast<DWORD>(pacer.PauseMs()));
  CPerfTimer presenting(true);
  if (fullScreen) {
    hr = primary->Flip(nullptr, noVSync ? DDFLIP_NOVSYNC : DDFLIP_WAIT);
    failureText = "[cGraphicsLayer::Flip]: Flip failed\n";
  } else {
    if (!noVSync) ddraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    RECT target = {screenTopLeft.x, screenTopLeft.y, screenBottomRight.x, screenBottomRight.y};
    hr = primary->Blt(&target, backBuffer, nullptr, DDBLT_WAIT, nullptr);
    failureText = "[cGraphicsLayer::Flip]: Blt failed\n";
  }
  pacer.Presented(static_cast<double>(presenting.Elapsed()));
  if (SUCCEEDED(hr)) return hr;
  OutputDebugStringA(failureText);
  if (hr == DDERR_SURFACELOST) invalidated = 1;
  return 0;
}

void cGraphicsLayer::SetWorldMatrix(const D3DMATRIX& matrix) {
  if (device == nullptr) return;
  device->SetTransform(D3DTRANSFORMSTATE_WORLD, const_cast<D3DMATRIX*>(&matrix));
}

void cGraphicsLayer::GetWorldMatrix(D3DMATRIX* matrix) {
  if (device == nullptr || matrix == nullptr) return;
  device->GetTransform(D3DTRANSFORMSTATE_WORLD, matrix);
}

void cGraphicsLayer::SetViewMatrix(const D3DMATRIX& matrix) {
  if (device == nullptr) return;
  device->SetTransform(D3DTRANSFORMSTATE_VIEW, const_cast<D3DMATRIX*>(&matrix));
}
