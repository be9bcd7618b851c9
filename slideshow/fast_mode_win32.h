// Fast mode: the slideshow without Direct3D. Each photograph is decoded,
// fitted into an off-screen GDI picture of the screen and brought onto the
// saver window by one of twelve block-transfer effects; the other monitors
// get a stretched copy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/fast_picture_loader.h"
#include "foundation/perf_timer.h"
#include "graphics/saver_surface_win32.h"
#include "slideshow/frame_drawer.h"
#include "slideshow/frame_stats.h"
#include "slideshow/picture_fit.h"
#include "slideshow/slideshow_instance_win32.h"

class FastMode : public FrameDrawer {
 public:
  // None is owned; all outlive fast mode. `frameClock` starts over after
  // each effect, so its time does not count as a frame. `captionQuality`
  // is the caption font's quality on this system.
  FastMode(const SaverSurface& surface, SlideshowInstance& slideshow, RunControl& run, FrameTimer& frameClock,
           int32_t captionQuality);
  // Frees the off-screen pictures and the caption font.
  ~FastMode() override;
  FastMode(const FastMode&) = delete;
  FastMode& operator=(const FastMode&) = delete;

  // After the slideshow is opened: shows the first photograph, pre-loads the
  // second. A bundle without a usable photograph asks the saver to end.
  void Setup();
  void Draw(float frameMs) override;
  int32_t PhotographChanges() const override { return changes_; }
  int32_t PhotoOnScreen() const override { return shownPhoto_; }
  // Effect 1..12 over `durationMs`; anything else copies the picture at once.
  void PlayEffect(int32_t effect, int32_t durationMs);
  void MirrorMonitors();
  // Ends a load under way, which reads the slideshow's bundle; before the
  // slideshow goes.
  void StopLoading() { loading_.reset(); }
  // Durations of the effects played so far.
  const DurationStats& EffectStats() const { return effectStats_; }

 private:
  LinkedList_Basic<PlaylistElement>& PlayOrder() { return slideshow_.Show().GetPlayOrder(); }
  void AdvanceCursor();
  // Loads the cursor's photograph on a worker thread.
  void StartLoad();
  // The load's picture once it is there; a failed one starts the next
  // entry's load, and when all have failed in a row the saver ends.
  bool TakeLoaded();
  void DrawCaption();
  void MakeCaptionFont();
  void Compose();
  // The loaded picture goes on screen: its photograph is now the one shown
  // and the one before it no longer needs its bytes.
  void ShowLoaded();
  void PreloadNext();
  void TimedEffect();
  void PumpMessages();

  const SaverSurface& surface_;
  SlideshowInstance& slideshow_;
  RunControl& run_;
  FrameTimer& frameClock_;
  int32_t captionQuality_;
  HDC offscreenDC_ = nullptr;
  HBITMAP offscreenBitmap_ = nullptr;
  HDC blackDC_ = nullptr;
  HBITMAP blackBitmap_ = nullptr;
  std::unique_ptr<ImagePicture> image_;  // fitted inside the screen
  std::unique_ptr<FastPictureLoader> loading_;
  int32_t loadingPhoto_ = -1;
  int32_t failures_ = 0;
  HFONT captionFont_ = nullptr;
  DurationStats effectStats_;
  int32_t imageTimer_ = 0;
  int32_t changes_ = 0;
  int32_t shownPhoto_ = -1;
  int32_t loadedPhoto_ = -1;  // the one in image_, shown next
};
