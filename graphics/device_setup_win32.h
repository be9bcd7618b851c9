// Device set-up of a saver run: the image bundle, the graphics layer, the
// slideshow and the Direct3D state that every frame relies on.
#pragma once

#include <windows.h>

#include <d3d.h>

#include <cstdint>

bool initStates(int width, int height);
bool initD3D(int width, int height);
// Snapshot of the whole screen into desktopDC, for the opening fade.
bool CaptureDesktop();
// Deletes the snapshot's context and bitmap; the opening fade's end does.
void DeleteDesktopSnapshot();
// Destroys the snapshot and the graphics layer, if any.
void DestroyDevice();

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
};
extern FullScreenQuad fullScreenQuad;
extern HDC desktopDC;
