#include "graphics/device_setup_win32.h"

#include <windows.h>
#include <d3d.h>

#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <cstring>
#include <sstream>

#include "bundle/program_bundles.h"
#include "foundation/logger.h"
#include "foundation/saver_settings.h"
#include "graphics/game_error_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "graphics/layer_flags.h"
#include "host/host_state.h"
#include "host/os_version.h"
#include "host/saver_runner_win32.h"
#include "slideshow/caption_layout.h"
#include "slideshow/fast_mode_win32.h"
#include "slideshow/slideshow_instance_win32.h"

namespace {

bool AcceptEveryDevice(const D3DDEVICEDESC7&) { return true; }

// Largest texture tile the slideshow may cut its photographs into.
int tileLimit = 256;

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

// The slideshow's configuration, in the order it expects it.
void ConfigureSlideshow(Slideshow& show, int width, int height) {
  show.SetAnimate(ss->Animate != 0);
  show.SetCrossfade(ss->Crossfade != 0);
  show.SetMipMap(ss->MipMap != 0);
  show.SetShowCaptions(ss->ShowCaptions != 0);
  CaptionStyle style;
  style.face = ss->CaptionFont;
  style.height = ss->CaptionFontSize;
  style.bold = ss->CaptionBold ? 1 : 0;
  style.italic = ss->CaptionItalic ? 1 : 0;
  style.orientation = ss->CaptionOrientation;
  style.quality = CaptionFontQuality(osVersion);
  style.mipMap = ss->MipMap ? 1 : 0;
  SlideshowCaptions()->SetStyle(style);
  show.SetShufflePasses(50);
  show.SetRandomOrder(ss->RandomOrder != 0);
  show.SetImageDelay(ImageDelayMsFor(ss->ImageDelay));
  const float halfHeight = static_cast<float>(height) * 2.0f / static_cast<float>(width) * 0.5f;
  show.SetViewRange(halfHeight, -halfHeight);
  show.SetTileLimit(tileLimit);
  show.SetTextureBits(requestedBits);
  show.Open(bundlePath.c_str());
  show.SetCram(ss->CramImages != 0);
  show.SetCramSize(EffectiveCramSize(ss->CramSize));
  show.SetZoomRate(ZoomRateFor(ss->ImageDelay));
}

void FillFullScreenQuad() {
  const float e = 10.75f;
  const struct {
    float x, y, u, v;
  } corners[4] = {{-e, e, 0, 1}, {-e, -e, 0, 0}, {e, -e, 1, 0}, {e, e, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    QuadVertex& q = fullScreenQuad.vertices[i];
    q = QuadVertex();
    q.x = corners[i].x;
    q.y = corners[i].y;
    q.nz = 1.0f;
    q.diffuse = 0x00FFFFFF;
    q.u = corners[i].u;
    q.v = corners[i].v;
  }
  const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
  memcpy(fullScreenQuad.indices, indices, sizeof(indices));
}

}  // namespace

FullScreenQuad fullScreenQuad;
HDC desktopDC = nullptr;

bool CaptureDesktop() {
  HDC screen = GetDC(nullptr);
  desktopDC = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, screenWidth, screenHeight);
  SelectObject(desktopDC, bitmap);
  BitBlt(desktopDC, 0, 0, screenWidth, screenHeight, screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return true;
}

void DeleteDesktopSnapshot() {
  if (desktopDC == nullptr) return;
  HGDIOBJ bitmap = GetCurrentObject(desktopDC, OBJ_BITMAP);
  DeleteDC(desktopDC);
  DeleteObject(bitmap);
  desktopDC = nullptr;
}

bool initStates(int width, int height) {
  ZV_LOG_FUNCTION("initStates");
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  if (!theImageBundle.Open(bundlePath)) {
    ShowError("Could not open slide bundle!", "ERROR", static_cast<HWND>(ss->mainWindow));
    ZV_LOG_ERROR("Could not open the image bundle!");
    return false;
  }

  if (!ss->FastMode) {
    try {
      const uint32_t flags = requestedBits == 16 ? kGraphicsFullScreen16 : 0;
      cGraphicsLayer::CreateGraphicsLayer(saverWindow, runMode != RunMode_Preview, width, height, flags,
                                          AcceptEveryDevice, nullptr);
    } catch (const cGameError& error) {
      ZV_LOG_ERROR(error.GetText());
      return false;
    }
    if (theGraphicsLayer == nullptr) {
      ZV_LOG_ERROR("Received a null graphics object pointer");
      return false;
    }
    if (theGraphicsLayer->IsFailed()) {
      ZV_LOG_ERROR("Error creating Direct3D");
      return false;
    }
    theGraphicsLayer->SetInvalidated(false);
    RecordVideoCard(*theGraphicsLayer);

    const D3DDEVICEDESC7& desc = theGraphicsLayer->GetDeviceDesc();
    const int maxTexture = static_cast<int>(std::min(desc.dwMaxTextureWidth, desc.dwMaxTextureHeight));
    ZV_LOG_INFO("Max texture size: " << maxTexture);
    tileLimit = std::min(maxTexture, 256);

    DDSURFACEDESC2 surface = {};
    surface.dwSize = sizeof(surface);
    if (SUCCEEDED(theGraphicsLayer->GetBackBuffer()->GetSurfaceDesc(&surface)))
      requestedBits = static_cast<int>(surface.ddpfPixelFormat.dwRGBBitCount);
  }
  ConfigureSlideshow(*CreateSlideshow(), width, height);
  if (ss->FastMode) return FastSetup();
  return true;
}

bool initD3D(int width, int height) {
  ZV_LOG_FUNCTION("initD3D()");
  if (theGraphicsLayer == nullptr) {
    ZV_LOG_ERROR("Received a null graphics object pointer");
    return false;
  }
  IDirect3DDevice7* device = theGraphicsLayer->GetDevice();
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

  theGraphicsLayer->SetViewMatrix(Identity());
  FillFullScreenQuad();
  theSkinBundle.Close();
  if (ss->Animate && !ss->FastMode && !displayModeChanged) CaptureDesktop();
  ZV_LOG_INFO("Successfully exiting initD3D()");
  return true;
}

void DestroyDevice() {
  DeleteDesktopSnapshot();
  delete theGraphicsLayer;
}
