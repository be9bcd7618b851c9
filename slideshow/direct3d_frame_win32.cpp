#include "slideshow/direct3d_frame_win32.h"

#include <algorithm>

#include "foundation/logger.h"
#include "foundation/saver_settings.h"
#include "slideshow/caption_layout.h"

namespace {

// How long the desktop takes to darken to black.
const float kIntroFadeMs = 2500.0f;
// The first frames carry the start-up's stalls; the fade's clock ignores them.
const int kIntroFramesIgnored = 2;

// Identity moved by (x, y, z).
D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = {};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  m._41 = x;
  m._42 = y;
  m._43 = z;
  return m;
}

}  // namespace

Direct3DFrame::Direct3DFrame(GraphicsDevice& device, SlideshowInstance& slideshow, const SaverSurface& surface,
                             const FrameStatistics& stats, RunControl& run)
    : device_(device), slideshow_(slideshow), surface_(surface), stats_(stats), run_(run) {}

void Direct3DFrame::SetMaterial(float r, float g, float b, float diffuseAlpha) {
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
void Direct3DFrame::BlendByDiffuseAlpha(DWORD firstAlphaArgument) {
  IDirect3DDevice7* device = Device();
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  if (firstAlphaArgument != 0) device->SetTextureStageState(0, D3DTSS_ALPHAARG1, firstAlphaArgument);
}

void Direct3DFrame::BlendOff() { Device()->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE); }

// One step of the desktop darkening to black; true once it is over.
bool Direct3DFrame::IntroStep(float frameMs) {
  if (introCalls_ < kIntroFramesIgnored) {
    ++introCalls_;
    introTime_ = 0.0f;
  } else {
    introTime_ += frameMs;
  }
  if (introProgress_ > 1.05f) {
    device_.desktop.Delete();
    return true;
  }
  cGraphicsLayer& layer = *device_.layer;
  layer.Clear(true, false, 0x00000000, 1.0f);
  HDC dc = nullptr;
  IDirectDrawSurface7* back = layer.GetBackBuffer();
  if (device_.desktop.Context() != nullptr && SUCCEEDED(back->GetDC(&dc))) {
    BitBlt(dc, 0, 0, surface_.width, surface_.height, device_.desktop.Context(), 0, 0, SRCCOPY);
    back->ReleaseDC(dc);
  }
  SetMaterial(0.0f, 0.0f, 0.0f, introProgress_);
  BlendByDiffuseAlpha(0);
  layer.SetWorldMatrix(Translation(0.0f, 0.0f, 2.0f));
  if (SUCCEEDED(layer.BeginScene())) {
    FullScreenQuad& quad = device_.quad;
    Device()->SetTexture(0, nullptr);
    Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kQuadVertexFormat, quad.vertices, 4, quad.indices, 6, 0);
    layer.EndScene();
  }
  BlendOff();
  layer.Flip(false);
  introProgress_ = introTime_ / kIntroFadeMs;
  return false;
}

// Outgoing slide, then the incoming one blended over it during a cross-fade.
void Direct3DFrame::DrawSlideshow() {
  const Slideshow& show = slideshow_.Show();
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
  CaptionSlots* captions = ss->ShowCaptions ? &slideshow_.Captions() : nullptr;
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

void Direct3DFrame::AdjustToFrameRate() {
  if (!ss->AutoPerformance) return;
  const float delaySeconds = static_cast<float>(ImageDelayMsFor(ss->ImageDelay)) / 1000.0f;
  const PerformanceAction action = AutoPerformanceStep(stats_.runTime, stats_.averageFps, delaySeconds);
  Slideshow& show = slideshow_.Show();
  // The rule lowers the texture limit; one already lower stays.
  const int32_t size = show.Cram() && action.cramSize != 0 ? std::min(action.cramSize, show.CramSize())
                                                           : action.cramSize;
  if (action.cramOn) show.SetCram(1);
  if (size != 0) {
    show.SetCramSize(size);
    ZV_LOG_INFO("Automatic performance: image cram size " << size);
  }
  if (action.endRule) ss->AutoPerformance = 0;
}

bool Direct3DFrame::Invalidated() {
  if (!device_.layer->IsInvalidated()) return false;
  ZV_LOG_INFO("Screensaver terminated due to graphics subsystem invalidation");
  run_.RequestClose();
  return true;
}

void Direct3DFrame::Draw(float t) {
  if (device_.layer == nullptr || Invalidated()) return;
  if (ss->Animate && !introDone_ && !surface_.displayModeChanged) {
    introDone_ = IntroStep(t);
    return;
  }
  if (noGoodImages_) return;  // the close request is on its way
  Slideshow& show = slideshow_.Show();
  if (!show.Update(static_cast<int32_t>(t))) {
    noGoodImages_ = true;
    GiveUpForWantOfImages(run_, true);
    return;
  }
  if (show.Phase() >= kPhaseShowing && t > longestShowingFrame_) longestShowingFrame_ = t;
  if (show.CurrentPhoto() != photoOnScreen_) {
    photoOnScreen_ = show.CurrentPhoto();
    const VFFILE* file = slideshow_.Host().PhotoFile(photoOnScreen_);
    ZV_LOG_INFO("Photograph on screen: " << (file != nullptr ? file->name : std::string("?")));
  }
  cGraphicsLayer& layer = *device_.layer;
  layer.Clear(true, false, 0x00000000, 1.0f);
  layer.SetWorldMatrix(Translation(0.0f, 0.0f, 2.0f));
  DrawSlideshow();
  layer.Flip(false);
}
