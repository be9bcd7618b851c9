// The program's single owner of DirectDraw 7 and Direct3D 7: the DirectDraw
// object, the primary surface and its back buffer (a flipping chain in full
// screen, a clipped primary plus an off-screen back buffer in a window), an
// optional z-buffer and the Direct3D device, with clearing, presenting, scene
// brackets and transforms on top.
//
// One instance at a time, reached through `theGraphicsLayer`. Hard failures
// throw cGameError and leave the layer half built (its destructor releases
// whatever exists); soft ones write a bracketed line to the debugger output.
// Lost surfaces are never restored: the layer marks itself invalidated and
// the saver ends.
#pragma once

#include <windows.h>

#include <ddraw.h>
#include <d3d.h>

#include <cstdint>

#include "graphics/layer_flags.h"
#include "graphics/present_pacer.h"

// Says whether a device may be used; a null filter accepts every device.
typedef bool (*DeviceFilter)(const D3DDEVICEDESC7& desc);

class cGraphicsLayer {
 public:
  // Throws "cGraphicsLayer object already instantiated\n" when a layer exists.
  explicit cGraphicsLayer(HWND window);
  ~cGraphicsLayer();
  cGraphicsLayer(const cGraphicsLayer&) = delete;
  cGraphicsLayer& operator=(const cGraphicsLayer&) = delete;

  // Makes the layer for drawing: DirectDraw in full screen or windowed, then
  // Direct3D; ends with `invalidated` set, which the caller clears once its
  // own set-up succeeded. Returns the new layer (also `theGraphicsLayer`,
  // which keeps pointing at a half-built layer after a throw).
  static cGraphicsLayer* CreateGraphicsLayer(HWND window, bool fullScreen, int width, int height,
                                             uint32_t flags, DeviceFilter deviceFilter,
                                             const GUID* driverGuid);
  // Makes a layer with only the DirectDraw object, to list display modes.
  // Never throws for DirectDraw itself; check IsFailed.
  static cGraphicsLayer* CreateDirectDrawLayer(HWND window, const GUID* driverGuid);

  // Set-up steps, in the order CreateGraphicsLayer runs them.
  void InitDDrawWindowed(const GUID* driverGuid);
  void InitDDrawFullScreen(int width, int height, int bits);
  void InitDDrawOnly(const GUID* driverGuid);
  void InitD3D(uint32_t flags, DeviceFilter deviceFilter);
  void MakeZBuffer();
  void MakeViewport();
  void MakeProjectionMatrix();
  // Reads the client area into screenRect and its screen corners.
  void UpdateBounds();

  // Per frame.
  void Clear(bool clearTarget, bool clearZ, D3DCOLOR colour, float z);
  HRESULT BeginScene();
  HRESULT EndScene();
  // Presents the back buffer; failures are reported to the debugger and
  // give 0, a lost surface also sets `invalidated`.
  HRESULT Flip(bool noVSync);
  void SetWorldMatrix(const D3DMATRIX& matrix);
  void GetWorldMatrix(D3DMATRIX* matrix);
  void SetViewMatrix(const D3DMATRIX& matrix);

  HWND GetWindow() const { return hwnd; }
  IDirect3DDevice7* GetDevice() const { return device; }
  IDirectDraw7* GetDDraw() const { return ddraw; }
  IDirect3D7* GetD3D() const { return d3d; }
  IDirectDrawSurface7* GetPrimary() const { return primary; }
  IDirectDrawSurface7* GetBackBuffer() const { return backBuffer; }
  IDirectDrawSurface7* GetZBuffer() const { return zBuffer; }
  const D3DDEVICEDESC7& GetDeviceDesc() const { return deviceDesc; }
  const RECT& GetScreenRect() const { return screenRect; }
  int GetWidth() const { return screenRect.right - screenRect.left; }
  int GetHeight() const { return screenRect.bottom - screenRect.top; }
  const DDPIXELFORMAT& GetZFormat() const { return zFormat; }
  bool IsFailed() const { return failed != 0; }
  bool IsInvalidated() const { return invalidated != 0; }
  void SetInvalidated(bool value) { invalidated = value ? 1 : 0; }
  bool IsFullScreen() const { return fullScreen; }
  bool IsZInVideoMemory() const { return zInVideoMemory; }
  bool HasZBuffer() const { return hasZBuffer; }
  const PresentPacer& Pacer() const { return pacer; }

 private:
  void CreateDirectDraw(const GUID* driverGuid, const char* failureText);
  void CreateBackBuffer();
  void CreateClipper();
  void CreateFlippingChain();
  void SetDisplayMode(int width, int height, int bits);
  void FindDevice(uint32_t flags, DeviceFilter deviceFilter);
  void ChooseZFormat(uint32_t flags);
  // Sets `failed` and throws `text`.
  [[noreturn]] void Fail(const char* text);
  // Sets `failed` and writes `text` to the debugger output.
  void SoftFail(const char* text);

  HWND hwnd;
  IDirect3DDevice7* device;
  IDirectDraw7* ddraw;
  IDirect3D7* d3d;
  IDirectDrawSurface7* primary;
  IDirectDrawSurface7* backBuffer;
  IDirectDrawSurface7* zBuffer;
  D3DDEVICEDESC7 deviceDesc;
  RECT screenRect;
  POINT screenTopLeft;
  POINT screenBottomRight;
  DDPIXELFORMAT zFormat;
  uint32_t failed;
  uint32_t invalidated;
  float fieldOfView;
  float nearPlane;
  float farPlane;
  bool fullScreen;
  PresentPacer pacer;
  bool zInVideoMemory;
  bool hasZBuffer;
};

// The one layer of the process; null when none exists.
extern cGraphicsLayer* theGraphicsLayer;
