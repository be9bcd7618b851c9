#include "graphics/device_setup_win32.h"

#include <algorithm>
#include <cstring>

#include "foundation/logger.h"
#include "foundation/saver_settings.h"
#include "graphics/game_error_win32.h"
#include "graphics/layer_flags.h"

namespace {

bool AcceptEveryDevice(const D3DDEVICEDESC7&) { return true; }

// The texture tile size the slideshow would choose without a device limit.
const int kLargestTile = 256;

void RecordVideoCard(cGraphicsLayer& layer) {
  DDDEVICEIDENTIFIER2 id = {};
  if (FAILED(layer.GetDDraw()->GetDeviceIdentifier(&id, 0))) {
    ZV_LOG_INFO("Couldn't get the video card type");
    return;
  }
  ZV_LOG_INFO("Video card: " << id.szDescription << " rev: " << id.dwRevision);
  static_assert(sizeof(id.guidDeviceIdentifier) == sizeof(ss->VideoGUID), "GUID size");
  if (memcmp(&id.guidDeviceIdentifier, ss->VideoGUID, sizeof(ss->VideoGUID)) != 0) {
    uint8_t guid[16];
    memcpy(guid, &id.guidDeviceIdentifier, sizeof(guid));
    ss->WriteVideoGUID(guid);
  }
}

D3DMATRIX Identity() {
  D3DMATRIX m = {};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

// Left-handed orthographic projection: the visible width is 2 world units.
D3DMATRIX OrthoProjection(int width, int height) {
  const float viewHeight = 2.0f * static_cast<float>(height) / static_cast<float>(width);
  const float zNear = 0.5f, zFar = 10.0f;
  D3DMATRIX m = {};
  m._11 = 2.0f / 2.0f;
  m._22 = 2.0f / viewHeight;
  m._33 = 1.0f / (zFar - zNear);
  m._43 = -zNear / (zFar - zNear);
  m._44 = 1.0f;
  return m;
}

}  // namespace

void FullScreenQuad::Fill() {
  const float e = 10.75f;
  const struct {
    float x, y, u, v;
  } corners[4] = {{-e, e, 0, 1}, {-e, -e, 0, 0}, {e, -e, 1, 0}, {e, e, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    QuadVertex& q = vertices[i];
    q = QuadVertex();
    q.x = corners[i].x;
    q.y = corners[i].y;
    q.nz = 1.0f;
    q.diffuse = 0x00FFFFFF;
    q.u = corners[i].u;
    q.v = corners[i].v;
  }
  const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
  memcpy(indices, order, sizeof(order));
}

void DesktopSnapshot::Capture(int width, int height) {
  Delete();
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  SelectObject(dc_, bitmap);
  BitBlt(dc_, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, screen);
}

void DesktopSnapshot::Delete() {
  if (dc_ == nullptr) return;
  HGDIOBJ bitmap = GetCurrentObject(dc_, OBJ_BITMAP);
  DeleteDC(dc_);
  DeleteObject(bitmap);
  dc_ = nullptr;
}

GraphicsDevice::~GraphicsDevice() {
  desktop.Delete();
  delete layer;
}

std::unique_ptr<GraphicsDevice> CreateGraphicsDevice(const SaverSurface& surface, bool preview) {
  auto device = std::make_unique<GraphicsDevice>();
  try {
    const uint32_t flags = surface.requestedBits == 16 ? kGraphicsFullScreen16 : 0;
    device->layer = cGraphicsLayer::CreateGraphicsLayer(surface.window, !preview, surface.width,
                                                        surface.height, flags, AcceptEveryDevice, nullptr);
  } catch (const cGameError& error) {
    ZV_LOG_ERROR(error.GetText());
    // A layer that failed half-way stays registered; it is ours to delete.
    device->layer = theGraphicsLayer;
    return nullptr;
  }
  if (device->layer == nullptr) device->layer = theGraphicsLayer;
  if (device->layer == nullptr) {
    ZV_LOG_ERROR("Received a null graphics object pointer");
    return nullptr;
  }
  if (device->layer->IsFailed()) {
    ZV_LOG_ERROR("Error creating Direct3D");
    return nullptr;
  }
  cGraphicsLayer& layer = *device->layer;
  layer.SetInvalidated(false);
  RecordVideoCard(layer);

  const D3DDEVICEDESC7& desc = layer.GetDeviceDesc();
  const int maxTexture = static_cast<int>(std::min(desc.dwMaxTextureWidth, desc.dwMaxTextureHeight));
  ZV_LOG_INFO("Max texture size: " << maxTexture);
  device->tileLimit = std::min(maxTexture, kLargestTile);

  device->textureBits = surface.requestedBits;
  DDSURFACEDESC2 back = {};
  back.dwSize = sizeof(back);
  if (SUCCEEDED(layer.GetBackBuffer()->GetSurfaceDesc(&back)))
    device->textureBits = static_cast<int>(back.ddpfPixelFormat.dwRGBBitCount);
  return device;
}

bool PrepareDirect3D(GraphicsDevice& graphics, int width, int height, bool captureDesktop) {
  ZV_LOG_FUNCTION("initD3D()");
  if (graphics.layer == nullptr) {
    ZV_LOG_ERROR("Received a null graphics object pointer");
    return false;
  }
  IDirect3DDevice7* device = graphics.layer->GetDevice();
  D3DMATRIX projection = OrthoProjection(width, height);
  device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);

  const struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } renderStates[] = {
      {D3DRENDERSTATE_CULLMODE, D3DCULL_CW},
      {D3DRENDERSTATE_LIGHTING, TRUE},
      {D3DRENDERSTATE_DITHERENABLE, TRUE},
      {D3DRENDERSTATE_SPECULARENABLE, FALSE},
      {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
      {D3DRENDERSTATE_ZENABLE, FALSE},
      {D3DRENDERSTATE_AMBIENT, 0x00FFFFFF},
      {D3DRENDERSTATE_COLORVERTEX, TRUE},
      {D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRENDERSTATE_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
  };
  for (const auto& rs : renderStates) device->SetRenderState(rs.state, rs.value);

  const struct {
    D3DTEXTURESTAGESTATETYPE state;
    DWORD value;
  } stageStates[] = {
      {D3DTSS_MIPFILTER, D3DTFP_LINEAR},
      {D3DTSS_MINFILTER, D3DTFN_LINEAR},
      {D3DTSS_MAGFILTER, D3DTFG_LINEAR},
      {D3DTSS_MINFILTER, D3DTFN_LINEAR},
      {D3DTSS_ADDRESS, D3DTADDRESS_CLAMP},
      {D3DTSS_ALPHAARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE},
      {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
  };
  for (const auto& ts : stageStates) device->SetTextureStageState(0, ts.state, ts.value);

  graphics.layer->SetViewMatrix(Identity());
  graphics.quad.Fill();
  if (captureDesktop) graphics.desktop.Capture(width, height);
  ZV_LOG_INFO("Successfully exiting initD3D()");
  return true;
}
