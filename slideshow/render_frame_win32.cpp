#include "slideshow/render_frame_win32.h"

#include <windows.h>

#include <d3d.h>

#include "foundation/logger.h"
#include "foundation/perf_timer.h"
#include "foundation/saver_settings.h"
#include "graphics/device_setup_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "host/host_state.h"
#include "host/saver_runner_win32.h"
#include "slideshow/caption_layout.h"
#include "slideshow/fast_mode_win32.h"
#include "slideshow/frame_stats.h"
#include "slideshow/slideshow_instance_win32.h"

namespace {

FrameTimer frameTimer;

// The opening desktop fade.
bool introDone = false;
int introCalls = 0;
float introTime = 0.0f;
float introProgress = 0.0f;
bool noGoodImages = false;
// For the benchmark: uploads and slide changes must not stall frames.
float longestShowingFrame = 0.0f;

const char kInvalidatedText[] = "Screensaver terminated due to graphics subsystem invalidation";

IDirect3DDevice7* Device() { return theGraphicsLayer->GetDevice(); }

// Identity moved by (x, y, z).
D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = {};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  m._41 = x;
  m._42 = y;
  m._43 = z;
  return m;
}

void SetMaterial(float r, float g, float b, float diffuseAlpha) {
  D3DMATERIAL7 material = {};
  material.diffuse.r = material.ambient.r = r;
  material.diffuse.g = material.ambient.g = g;
  material.diffuse.b = material.ambient.b = b;
  material.diffuse.a = diffuseAlpha;
  material.ambient.a = 1.0f;
  Device()->SetMaterial(&material);
}

// Blends what is drawn next over the frame by its alpha, taken from the
// material's diffuse alpha.
void BlendByDiffuseAlpha(DWORD firstAlphaArgument) {
  IDirect3DDevice7* device = Device();
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  if (firstAlphaArgument != 0) device->SetTextureStageState(0, D3DTSS_ALPHAARG1, firstAlphaArgument);
}

void BlendOff() { Device()->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE); }

// Locking the back buffer makes the driver finish the frame, so frames are
// not queued and the animation follows the measured frame time.
void LockAndUnlockBackBuffer() {
  IDirectDrawSurface7* back = theGraphicsLayer->GetBackBuffer();
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  if (SUCCEEDED(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) back->Unlock(nullptr);
}

void FlushFrame() {
  HDC dc = nullptr;
  IDirectDrawSurface7* back = theGraphicsLayer->GetBackBuffer();
  if (SUCCEEDED(back->GetDC(&dc))) back->ReleaseDC(dc);
  LockAndUnlockBackBuffer();
}

// One step of the desktop darkening to black; true once it is over.
bool IntroStep(float frameMs) {
  if (introCalls < 2) {
    ++introCalls;  // start-up stalls don't count
    introTime = 0.0f;
  } else {
    introTime += frameMs;
  }
  if (introProgress > 1.05f) {
    DeleteDesktopSnapshot();
    return true;
  }
  LockAndUnlockBackBuffer();
  theGraphicsLayer->Clear(true, false, 0x00000000, 1.0f);
  HDC dc = nullptr;
  IDirectDrawSurface7* back = theGraphicsLayer->GetBackBuffer();
  if (desktopDC != nullptr && SUCCEEDED(back->GetDC(&dc))) {
    BitBlt(dc, 0, 0, screenWidth, screenHeight, desktopDC, 0, 0, SRCCOPY);
    back->ReleaseDC(dc);
  }
  SetMaterial(0.0f, 0.0f, 0.0f, introProgress);
  BlendByDiffuseAlpha(0);
  theGraphicsLayer->SetWorldMatrix(Translation(0.0f, 0.0f, 2.0f));
  if (SUCCEEDED(theGraphicsLayer->BeginScene())) {
    Device()->SetTexture(0, nullptr);
    Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kQuadVertexFormat, fullScreenQuad.vertices, 4,
                                   fullScreenQuad.indices, 6, 0);
    theGraphicsLayer->EndScene();
  }
  BlendOff();
  theGraphicsLayer->Flip(false);
  introProgress = introTime / 2500.0f;
  return false;
}

// Outgoing slide, then the incoming one blended over it during a cross-fade.
void DrawSlideshow(const Slideshow& show) {
  CSlideImage* current = show.Current();
  if (current == nullptr) return;
  const float* b = show.Brightness();
  const float p = show.Progress();
  const bool crossfading = show.InTransition() && show.Crossfade();
  if (crossfading && !show.Animate()) {
    SetMaterial(1.0f - p, 1.0f - p, 1.0f - p, 1.0f);
  } else {
    SetMaterial(b[0], b[1], b[2], 1.0f);
  }
  current->Draw();
  CaptionSlots* captions = ss->ShowCaptions ? SlideshowCaptions() : nullptr;
  const CaptionAlphas alphas =
      CaptionAlphasFor(show.OpeningFade(), show.Crossfade(), show.InTransition(), b[0], p);
  if (captions != nullptr) captions->Draw(show.CurrentCaptionSlot(), alphas.current, show.ViewBottom());

  CSlideImage* next = show.Next();
  if (next != nullptr && crossfading) {
    SetMaterial(b[0], b[1], b[2], p);
    BlendByDiffuseAlpha(D3DTA_DIFFUSE);
    next->Draw();
    if (captions != nullptr) captions->Draw(show.NextCaptionSlot(), alphas.next, show.ViewBottom());
  }
  BlendOff();
}

void ApplyPerformanceRule() {
  if (!ss->AutoPerformance || ss->FastMode || theSlideshow == nullptr) return;
  const float delaySeconds = static_cast<float>(ImageDelayMsFor(ss->ImageDelay)) / 1000.0f;
  const PerformanceAction action =
      AutoPerformanceStep(frameStats.runTime, frameStats.averageFps, delaySeconds);
  if (action.cramOn) theSlideshow->SetCram(1);
  if (action.cramSize != 0) {
    theSlideshow->SetCramSize(action.cramSize);
    ZV_LOG_INFO("Automatic performance: image cram size " << action.cramSize);
  }
  if (action.endRule) ss->AutoPerformance = 0;
}

}  // namespace

void StartFrameTimer() { frameTimer.Init(); }

float LongestShowingFrameMs() { return longestShowingFrame; }

void RenderFrame() {
  const float t = static_cast<float>(frameTimer.DeltaMs());
  frameStats.AddFrameTime(t);
  ApplyPerformanceRule();
  frameStats.SampleWindow();

  if (ss->FastMode) {
    FastFrame(t);
    return;
  }
  if (theGraphicsLayer == nullptr) return;
  if (ss->Animate && !introDone && !displayModeChanged) {
    if (theGraphicsLayer->IsInvalidated()) {
      ZV_LOG_INFO(kInvalidatedText);
      RequestClose(ss);
      return;
    }
    introDone = IntroStep(t);
    return;
  }
  if (theGraphicsLayer->IsInvalidated()) {
    ZV_LOG_INFO(kInvalidatedText);
    RequestClose(ss);
    return;
  }
  if (noGoodImages) return;  // the close request is on its way
  if (theSlideshow == nullptr || !theSlideshow->Update(static_cast<int32_t>(t))) {
    noGoodImages = true;
    ZV_LOG_ERROR("Couldn't find any good images, quitting...");
    ss->WriteCriticalError(1);
    RequestClose(ss);
    return;
  }
  if (theSlideshow->Phase() >= kPhaseShowing && t > longestShowingFrame) longestShowingFrame = t;
  theGraphicsLayer->Clear(true, false, 0x00000000, 1.0f);
  theGraphicsLayer->SetWorldMatrix(Translation(0.0f, 0.0f, 2.0f));
  DrawSlideshow(*theSlideshow);
  FlushFrame();
  theGraphicsLayer->Flip(false);
}
