// The slideshow drawn with Direct3D: the opening fade of the desktop to
// black, then every frame the slideshow's step, its slides and captions.
// Frames are not forced to finish by reading the back buffer: under Wine
// that read is a copy of the whole frame back from the card, which cost
// more than a quarter of each frame's processor time.
#pragma once

#include "graphics/device_setup_win32.h"
#include "graphics/saver_surface_win32.h"
#include "slideshow/frame_drawer.h"
#include "slideshow/frame_stats.h"
#include "slideshow/slideshow_instance_win32.h"

class Direct3DFrame : public FrameDrawer {
 public:
  // None is owned; all outlive the frame.
  Direct3DFrame(GraphicsDevice& device, SlideshowInstance& slideshow, const SaverSurface& surface,
                const FrameStatistics& stats, RunControl& run);

  // The automatic performance rule: lower slide resolution on slow machines.
  void AdjustToFrameRate() override;
  void Draw(float frameMs) override;
  int32_t PhotographChanges() const override { return slideshow_.Show().Changes(); }
  int32_t PhotoOnScreen() const override { return slideshow_.Show().CurrentPhoto(); }
  // The longest frame since photographs began to show, in ms.
  float LongestShowingFrameMs() const { return longestShowingFrame_; }

 private:
  IDirect3DDevice7* Device() const { return device_.layer->GetDevice(); }
  void SetMaterial(float r, float g, float b, float diffuseAlpha);
  void BlendByDiffuseAlpha(DWORD firstAlphaArgument);
  void BlendOff();
  bool IntroStep(float frameMs);
  void DrawSlideshow();
  // True (after asking the saver to end) once the device was lost.
  bool Invalidated();

  GraphicsDevice& device_;
  SlideshowInstance& slideshow_;
  const SaverSurface& surface_;
  const FrameStatistics& stats_;
  RunControl& run_;
  // The opening desktop fade.
  bool introDone_ = false;
  int introCalls_ = 0;
  float introTime_ = 0.0f;
  float introProgress_ = 0.0f;
  bool noGoodImages_ = false;
  // For the benchmark: uploads and slide changes must not stall frames.
  float longestShowingFrame_ = 0.0f;
  int32_t photoOnScreen_ = -1;
};
