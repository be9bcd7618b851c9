// The slideshow's sequencing: which photograph comes next, the one loader
// working ahead, the change of slides, the transitions and the zoom.
//
// Timeline with the defaults (ImageDelay 8 s, fadeMs 4000), cross-fade:
//
//   ms   0     2000               10000    14000              22000    26000
//   A    fade-in|---- shown 8 s ----|cross out|
//   B                               |cross in-|---- shown 8 s ----|cross out|
//   C                                                             |cross in-|
//   loading  A then B -------------->|  (idle)  |C ---------------->|
//
// The first slide fades in from black (fadeMs / 2); after that one cycle
// is a 4 s cross-fade and 8 s of display. B is taken from its loader when
// A's display time is up; C's loader starts when the cross-fade ends, so
// never more than one photograph loads ahead and at most three slides exist.
//
// Fade through black: brightness 1 -> 0 over the first 2000 ms of the
// transition, the slides change at the darkest moment (the next loader
// starts there), brightness 0 -> 1 over the last 2000 ms.
//
// A slide is on screen for imageDelayMs + 2 x fadeMs, over which its scale
// about the zoom centre changes by (imageDelayMs + 2 x fadeMs) / 20 x zoomRate
// (0.24 at the 8-second default); successive slides alternate between
// zooming in and out, a zoom-out slide starting enlarged by that amount.
//
// Everything here is a function of the elapsed milliseconds handed to
// Update, so a fake clock and fake loaders drive it in tests. The bundle,
// the captions, the imaging library and the clocks are reached through
// SlideshowHost; drawing is the frame code's.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/linked_list.h"
#include "slideshow/image_loader.h"
#include "slideshow/slide_image.h"

// Default display time when the stored one is unusable (0 or below).
const float kDefaultImageDelaySeconds = 10.0f;

// ImageDelay (seconds) as the slideshow's display time, truncated to ms.
int32_t ImageDelayMsFor(float imageDelaySeconds);
// The zoom rate device set-up configures: 8 / ImageDelay x 0.0003.
float ZoomRateFor(float imageDelaySeconds);

// The show's own state; each slide's is its loader's LoaderState.
enum SlideshowPhase {
  kPhaseStartup = 0,      // waiting for the first slide
  kPhaseOpeningFade = 1,  // the first slide fading in from black
  kPhaseShowing = 2,
  kPhaseTransition = 3,
};
const char* SlideshowPhaseName(SlideshowPhase phase);

// One entry of the play order: the photograph's index in the "image"
// category's directory order.
struct PlaylistElement {
  int32_t photo = 0;
};

// What the slideshow needs from the world around it.
class SlideshowHost {
 public:
  virtual ~SlideshowHost() = default;
  // Opens "images.bdl" with its "image", "dims" and "caps" categories.
  virtual bool OpenBundle(const char* path) = 0;
  virtual int32_t PhotoCount() const = 0;
  // The photograph's dims entry by the lookup rule of the records.
  virtual ImageDims DimsOf(int32_t photo) = 0;
  virtual std::unique_ptr<PhotoSource> PhotoSourceOf(int32_t photo) = 0;
  virtual ImagingBackend* Imaging() = 0;
  // Prepares the two caption slots for textures of `textureBits` cut at
  // `tileLimit`; called by Open when captions are shown.
  virtual void OpenCaptions(int32_t tileLimit, int32_t textureBits) = 0;
  // Renders the photograph's caption into caption slot 0 or 1.
  virtual void RenderCaption(int32_t slot, int32_t photo) = 0;
  // One step of a slot's pending caption work.
  virtual void CaptionStep(int32_t slot) = 0;
  // The photograph's bytes are no longer needed: no loader still reads them.
  virtual void ReleasePhoto(int32_t /*photo*/) {}
  // Current time in seconds, the shuffle's seed.
  virtual uint32_t TimeSeconds() = 0;
  // A free-running millisecond stopwatch, for timing the synchronous work.
  virtual double StopwatchMs() = 0;
};

class Slideshow {
 public:
  explicit Slideshow(SlideshowHost* slideshowHost);
  // Destroys the slides and the loaders (waiting for their threads).
  ~Slideshow();
  Slideshow(const Slideshow&) = delete;
  Slideshow& operator=(const Slideshow&) = delete;

  // Configuration, in the order device set-up calls it.
  void SetAnimate(uint8_t on) { animate = on; }
  void SetCrossfade(uint8_t on) { crossfade = on; }
  void SetMipMap(uint8_t on) { mipMap = on; }
  void SetShowCaptions(uint8_t on) { showCaptions = on; }
  void SetShufflePasses(int32_t passes) { shufflePasses = passes; }
  void SetRandomOrder(uint8_t on) { randomOrder = on; }
  // 0 or below stands for the default 10 s.
  void SetImageDelay(int32_t ms);
  void SetViewRange(float top, float bottom);
  // The saver window in pixels: what a slide's picture needs to be sharp.
  void SetScreenSize(int32_t width, int32_t height);
  void SetTileLimit(int32_t limit) { tileLimit = limit; }
  void SetTextureBits(int32_t bits) { textureBits = bits; }
  // Opens the bundle and builds the play order; false when it can't be
  // opened or holds no photograph (NoUsablePhotograph is then set).
  bool Open(const char* path);
  // Also used at run time by the performance rule; affect later loaders.
  void SetCram(uint8_t on) { cram = on; }
  void SetCramSize(int32_t pixels) { cramSize = pixels; }
  bool Cram() const { return cram != 0; }
  int32_t CramSize() const { return cramSize; }
  void SetZoomRate(float rate) { zoomRate = rate; }

  // Once per frame before drawing. False once no photograph can be shown:
  // the caller reports "Couldn't find any good images, quitting...". A
  // photograph not yet on the card when its time comes is waited for with
  // the current slide still up (and "Photograph N late by M ms" logged).
  bool Update(int32_t elapsedMs);
  // Every photograph failed to load before one could be shown, or there
  // are none.
  bool NoUsablePhotograph() const { return noUsablePhotograph; }

  SlideshowPhase Phase() const;
  CSlideImage* Current() const { return current; }
  // The photograph on screen (the outgoing one during a cross-fade); -1 before the first.
  int32_t CurrentPhoto() const { return current != nullptr ? current->photo : -1; }
  CSlideImage* Next() const { return next; }
  bool InTransition() const { return inTransition != 0; }
  // The first slide fading in from black, which only an animated show does.
  bool OpeningFade() const { return openingFade != 0 && animate != 0; }
  bool Crossfade() const { return crossfade != 0; }
  bool Animate() const { return animate != 0; }
  const float* Brightness() const { return brightness; }
  float Progress() const { return progress; }
  float ViewTop() const { return viewTop; }
  float ViewBottom() const { return viewBottom; }
  int32_t CurrentCaptionSlot() const { return captionSlot; }
  int32_t NextCaptionSlot() const { return 1 - captionSlot; }
  int32_t Clock() const { return clock; }
  int32_t ShownClock() const { return shownClock; }
  int32_t FadeClock() const { return fadeClock; }
  int32_t ImageDelayMs() const { return imageDelayMs; }
  int32_t FadeMs() const { return fadeMs; }
  float ZoomRate() const { return zoomRate; }
  int32_t LoaderCount() const { return loaders.Count(); }
  // Photographs that came on screen after the first; each change starts
  // with the incoming slide's tiles all on the card.
  int32_t Changes() const { return changes; }
  // Changes that waited for their photograph beyond the display time.
  int32_t LateChanges() const { return lateChanges; }
  // What the next loader is asked to make, from the show's settings.
  SlideScreen ScreenForSlides() const;
  // The loader working ahead, or null.
  CImgLoadThread* PendingLoader() const;
  // Fast mode and the wallpaper step walk it with its cursor.
  LinkedList_Basic<PlaylistElement>& GetPlayOrder() { return playOrder; }

 private:
  struct QueuedLoad {
    CImgLoadThread* loader = nullptr;
    int32_t photo = 0;
    bool bytesReleased = false;
  };

  // A fresh order; when reshuffled, `avoidFirst` (the photograph just
  // queued) is not put first, so it never shows twice in a row.
  void BuildPlayOrder(int32_t avoidFirst = -1);
  void AdvanceCursor();
  void Queue(int32_t slot);
  CSlideImage* TakeSlide();
  void Arrange(CSlideImage* slide);
  bool StartUp();
  bool DropFailedLoaders();
  // `frameMs`: this frame's elapsed time.
  void StartTransition(int32_t frameMs);
  void RunTransition();
  void ExchangeAtMidpoint();
  void EndTransition();
  void RunOpeningFade(int32_t a);
  void ZoomSlides(int32_t a);
  void CleanUp();
  void SetBrightness(float value);
  // Lets the bytes of each photograph whose tiles are cut go, unless another
  // loader of it still reads them: a slide on screen needs only its tiles.
  void ReleaseReadPhotos();
  bool PhotoBeingRead(int32_t photo) const;
  // Copies tiles of the loader working ahead: one, then more for a few ms.
  void UploadPending();
  // The change is due and the next slide is complete.
  bool NextSlideReady();

  SlideshowHost* host;
  LinkedList_Basic<PlaylistElement> playOrder;
  LinkedList_Basic<QueuedLoad> loaders;
  CSlideImage* current = nullptr;
  CSlideImage* next = nullptr;
  uint8_t crossfade = 1;
  uint8_t animate = 1;
  uint8_t randomOrder = 1;
  uint8_t inTransition = 0;
  uint8_t openingFade = 1;
  uint8_t midpointPending = 0;
  uint8_t mipMap = 0;
  uint8_t cram = 0;
  uint8_t showCaptions = 1;
  int32_t imageDelayMs = 8000;
  int32_t fadeMs = 4000;
  int32_t tileLimit = 256;
  int32_t cramSize = 1536;
  int32_t textureBits = 32;
  int32_t shufflePasses = 100;
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  int32_t changes = 0;
  int32_t lateChanges = 0;
  int32_t clock = 0;
  int32_t shownClock = 0;
  int32_t fadeClock = 0;
  double stallMs = 0.0;
  float brightness[3] = {1.0f, 1.0f, 1.0f};
  float fadeColour[3] = {0.0f, 0.0f, 0.0f};
  float progress = 0.0f;
  float zoomRate = 0.0002f;
  float viewTop = 0.75f;
  float viewBottom = -0.75f;
  int32_t captionSlot = 0;
  // Photographs that failed while no slide had been shown yet.
  int32_t failedBeforeFirst = 0;
  std::vector<uint8_t> failed;
  bool noUsablePhotograph = false;
};
