// Device set-up of a saver run: the graphics layer in the saver window, and
// the Direct3D state every frame relies on. What it made is handed back in
// one GraphicsDevice, which the run owns.
#pragma once

#include <windows.h>

#include <d3d.h>

#include <cstdint>
#include <memory>

#include "graphics/graphics_layer_win32.h"
#include "graphics/saver_surface_win32.h"

// Position, normal, diffuse colour and one texture pair.
struct QuadVertex {
  float x = 0, y = 0, z = 0;
  float nx = 0, ny = 0, nz = 0;
  uint32_t diffuse = 0;
  float u = 0, v = 0;
};
const DWORD kQuadVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The quad the opening fade darkens the desktop with: far larger than the
// visible area, so it covers any screen shape.
struct FullScreenQuad {
  QuadVertex vertices[4];
  uint16_t indices[6];
  void Fill();
};

// A copy of the whole screen taken before the saver's first frame, for the
// opening fade to darken.
class DesktopSnapshot {
 public:
  DesktopSnapshot() = default;
  ~DesktopSnapshot() { Delete(); }
  DesktopSnapshot(const DesktopSnapshot&) = delete;
  DesktopSnapshot& operator=(const DesktopSnapshot&) = delete;

  void Capture(int width, int height);
  void Delete();
  HDC Context() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

struct GraphicsDevice {
  GraphicsDevice() = default;
  ~GraphicsDevice();
  GraphicsDevice(const GraphicsDevice&) = delete;
  GraphicsDevice& operator=(const GraphicsDevice&) = delete;

  cGraphicsLayer* layer = nullptr;  // owned; also `theGraphicsLayer`
  int tileLimit = 256;              // largest texture tile photographs are cut into
  int textureBits = 0;              // the back buffer's real depth
  DesktopSnapshot desktop;
  FullScreenQuad quad;
};

// The graphics layer in `surface.window`, exclusive full screen unless
// `preview`; the video card recorded, the tile limit and texture depth
// read. Null (after logging why) when no usable device came up.
std::unique_ptr<GraphicsDevice> CreateGraphicsDevice(const SaverSurface& surface, bool preview);
// Projection, render and texture states, the fade quad, and the desktop
// snapshot when `captureDesktop`.
bool PrepareDirect3D(GraphicsDevice& device, int width, int height, bool captureDesktop);
