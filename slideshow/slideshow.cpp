#include "slideshow/slideshow.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "foundation/logger.h"

namespace {

// Adds the time spent in synchronous work (taking a slide, starting a
// loader) to the stall that the next Update subtracts, so the animation
// does not jump after it.
// The share of a frame that copies tiles to the card: enough for several
// tiles on any machine, small enough that the frame rate holds.
const double kUploadBudgetMs = 4.0;
// A change this far past its time waited for its photograph.
const int32_t kLateAfterMs = 100;

class StallTimer {
 public:
  StallTimer(SlideshowHost* host, double* stallMs)
      : host_(host), stallMs_(stallMs), startMs_(host->StopwatchMs()) {}
  ~StallTimer() { *stallMs_ += std::max(host_->StopwatchMs() - startMs_, 0.0); }
  StallTimer(const StallTimer&) = delete;
  StallTimer& operator=(const StallTimer&) = delete;

 private:
  SlideshowHost* host_;
  double* stallMs_;
  double startMs_;
};

}  // namespace

int32_t ImageDelayMsFor(float imageDelaySeconds) {
  if (!(imageDelaySeconds > 0.0f)) imageDelaySeconds = kDefaultImageDelaySeconds;
  return static_cast<int32_t>(imageDelaySeconds * 1000.0f);
}

float ZoomRateFor(float imageDelaySeconds) {
  if (!(imageDelaySeconds > 0.0f)) imageDelaySeconds = kDefaultImageDelaySeconds;
  return 8.0f / imageDelaySeconds * 0.0003f;
}

const char* SlideshowPhaseName(SlideshowPhase phase) {
  switch (phase) {
    case kPhaseStartup: return "start-up";
    case kPhaseOpeningFade: return "opening fade";
    case kPhaseShowing: return "showing";
    case kPhaseTransition: return "transition";
  }
  return "unknown";
}

Slideshow::Slideshow(SlideshowHost* slideshowHost) : host(slideshowHost) {}

Slideshow::~Slideshow() {
  delete current;
  delete next;
  for (bool more = loaders.First(); more; more = loaders.Next()) {
    delete loaders.Current().loader;
  }
  loaders.Clear();
}

void Slideshow::SetImageDelay(int32_t ms) {
  imageDelayMs = ms > 0 ? ms : ImageDelayMsFor(kDefaultImageDelaySeconds);
}

void Slideshow::SetViewRange(float top, float bottom) {
  viewTop = top;
  viewBottom = bottom;
}

void Slideshow::SetScreenSize(int32_t width, int32_t height) {
  screenWidth = width;
  screenHeight = height;
}

SlideScreen Slideshow::ScreenForSlides() const {
  SlideScreen screen;
  screen.width = screenWidth;
  screen.height = screenHeight;
  screen.cover = animate != 0;
  // A slide's scale grows by this much while it is on screen (see Arrange).
  if (animate) screen.largestZoom = 1.0f + static_cast<float>(imageDelayMs + 2 * fadeMs) / 20.0f * zoomRate;
  return screen;
}

bool Slideshow::Open(const char* path) {
  if (!host->OpenBundle(path) || host->PhotoCount() < 1) {
    noUsablePhotograph = true;
    return false;
  }
  if (showCaptions) host->OpenCaptions(tileLimit, textureBits);
  failed.assign(static_cast<size_t>(host->PhotoCount()), 0);
  failedBeforeFirst = 0;
  noUsablePhotograph = false;
  BuildPlayOrder();
  return true;
}

SlideshowPhase Slideshow::Phase() const {
  if (current == nullptr) return kPhaseStartup;
  if (inTransition) return kPhaseTransition;
  if (openingFade && animate) return kPhaseOpeningFade;
  return kPhaseShowing;
}

CImgLoadThread* Slideshow::PendingLoader() const {
  const auto* node = loaders.FirstNode();
  return node != nullptr ? node->data.loader : nullptr;
}

// Play order ----------------------------------------------------------------

void Slideshow::BuildPlayOrder(int32_t avoidFirst) {
  const int32_t count = host->PhotoCount();
  std::vector<int32_t> order(static_cast<size_t>(std::max(count, 0)));
  for (int32_t photo = 0; photo < count; ++photo) order[static_cast<size_t>(photo)] = photo;
  if (randomOrder && count > 0) {
    std::srand(host->TimeSeconds());
    for (int32_t pass = 0; pass < shufflePasses; ++pass) {
      for (int32_t l = 0; l < count; ++l) {
        std::swap(order[static_cast<size_t>(l)], order[static_cast<size_t>(std::rand() % count)]);
      }
    }
    if (count > 1 && order[0] == avoidFirst) std::swap(order[0], order[static_cast<size_t>(1 + std::rand() % (count - 1))]);
  }
  playOrder.Clear();
  for (int32_t photo : order) playOrder.Append(PlaylistElement{photo});
  playOrder.First();
}

void Slideshow::AdvanceCursor() {
  if (playOrder.CursorNode() != nullptr && playOrder.Next()) return;
  // Past the last entry: a fresh shuffle, or back to the start.
  if (randomOrder) {
    BuildPlayOrder(playOrder.Count() > 0 ? playOrder.LastNode()->data.photo : -1);
  } else {
    playOrder.First();
  }
}

// Loaders and slides --------------------------------------------------------

void Slideshow::Queue(int32_t slot) {
  if (playOrder.CursorNode() == nullptr) return;
  StallTimer timed(host, &stallMs);
  const int32_t photo = playOrder.Current().photo;
  CImgLoadThread* loader = new CImgLoadThread(host->Imaging());
  loaders.Append(QueuedLoad{loader, photo});
  loader->SetSource(host->PhotoSourceOf(photo), host->DimsOf(photo));
  loader->SetTileLimit(tileLimit);
  loader->SetTextureBits(textureBits);
  loader->SetMipMap(mipMap);
  loader->SetCram(cram);
  loader->SetCramSize(cramSize);
  loader->SetScreen(ScreenForSlides());
  if (showCaptions) host->RenderCaption(slot, photo);
  loader->Start(clock);
}

CSlideImage* Slideshow::TakeSlide() {
  auto* node = loaders.FirstNode();
  if (node == nullptr) return nullptr;
  StallTimer timed(host, &stallMs);
  CImgLoadThread* loader = node->data.loader;
  CSlideImage* slide = loader->Finish();
  if (slide != nullptr) slide->photo = node->data.photo;
  delete loader;
  loaders.RemoveNode(node);
  return slide;
}

void Slideshow::Arrange(CSlideImage* slide) {
  if (slide == nullptr) return;
  const float ratio = slide->heightFactor / slide->widthFactor;
  const float range = viewTop - viewBottom;
  const bool tall = ratio >= range / 2;
  if (!animate) {
    // Fitted inside the visible area, about the origin.
    slide->size = tall ? range * slide->widthFactor : 2 * slide->heightFactor;
    return;
  }
  slide->zoomDirection = current != nullptr ? -current->zoomDirection : 1.0f;
  slide->centre = SlidePoint();
  const bool randomX = slide->horizontalOnly || !slide->verticalOnly;
  const bool randomY = !slide->horizontalOnly;
  // x is drawn before y.
  if (randomX) slide->centre.x = static_cast<float>(std::rand() % 200) / 100.0f - 1.0f;
  if (randomY) {
    const int32_t span = std::max(static_cast<int32_t>(viewTop * 200.0f), 1);
    slide->centre.y = viewBottom + static_cast<float>(std::rand() % span) / 100.0f;
  }
  // Covering the whole visible area.
  slide->size = tall ? 2 * slide->heightFactor : range * slide->widthFactor;
  if (slide->zoomDirection < 0) {
    // Enlarged by what it will shrink while on screen.
    slide->Zoom(-static_cast<float>(imageDelayMs + 2 * fadeMs) / 20.0f * zoomRate);
  }
}

// Update --------------------------------------------------------------------

bool Slideshow::Update(int32_t elapsedMs) {
  if (noUsablePhotograph) return false;
  if (playOrder.Count() == 0) {
    noUsablePhotograph = true;
    return false;
  }
  const int32_t a = std::max(elapsedMs - static_cast<int32_t>(stallMs), 0);
  stallMs = 0.0;
  clock += a;

  if (current == nullptr && !StartUp()) {
    // Nothing on screen yet: the wait does not count as slideshow time.
    clock -= a;
    return !noUsablePhotograph;
  }

  UploadPending();

  if (showCaptions) {
    host->CaptionStep(0);
    host->CaptionStep(1);
  }

  if (openingFade && animate) RunOpeningFade(a);

  if (inTransition) {
    fadeClock += a;
    RunTransition();
  } else {
    shownClock += a;
    // A late photograph keeps the current slide up until all its tiles are
    // on the card; the opening fade is never cut short by a transition.
    if (shownClock >= imageDelayMs && !(openingFade && animate) && NextSlideReady()) StartTransition(a);
  }

  if (animate) ZoomSlides(a);
  CleanUp();
  return true;
}

bool Slideshow::StartUp() {
  if (loaders.Count() == 0) {
    Queue(captionSlot);
    AdvanceCursor();
  }
  // A first photograph that fails is skipped like any later one.
  if (DropFailedLoaders()) {
    if (noUsablePhotograph) return false;
    Queue(captionSlot);
    AdvanceCursor();
  }
  // The screen stays black until the first slide's tiles are all up.
  UploadPending();
  CImgLoadThread* loader = PendingLoader();
  if (loader == nullptr || !loader->IsComplete()) return false;

  // Arranged before it becomes current: the first slide zooms in.
  CSlideImage* first = TakeSlide();
  Arrange(first);
  current = first;
  Queue(NextCaptionSlot());
  return current != nullptr;
}

// Finishes and removes every loader with an error; true when one went.
// Before the first slide, a failure of every photograph ends the show.
bool Slideshow::DropFailedLoaders() {
  bool dropped = false;
  auto* node = loaders.FirstNode();
  while (node != nullptr) {
    auto* following = node->next;
    CImgLoadThread* loader = node->data.loader;
    if (loader->GetError() != kLoaderNoError) {
      const int32_t photo = node->data.photo;
      if (current == nullptr && photo >= 0 && static_cast<size_t>(photo) < failed.size() &&
          !failed[static_cast<size_t>(photo)]) {
        failed[static_cast<size_t>(photo)] = 1;
        ++failedBeforeFirst;
      }
      delete loader->Finish();
      delete loader;
      loaders.RemoveNode(node);
      if (!PhotoBeingRead(photo)) host->ReleasePhoto(photo);
      dropped = true;
    }
    node = following;
  }
  if (dropped && current == nullptr && failedBeforeFirst >= static_cast<int32_t>(failed.size())) {
    noUsablePhotograph = true;
  }
  return dropped;
}

void Slideshow::RunOpeningFade(int32_t a) {
  if (current == nullptr) return;
  fadeClock += a;
  const float value = static_cast<float>(fadeClock) / static_cast<float>(std::max(fadeMs / 2, 1));
  SetBrightness(std::min(value, 1.0f));
  if (value >= 1.0f) {
    openingFade = 0;
    shownClock = 0;
    fadeClock = 0;
  }
}

// The first copy of a frame may wait for the card to finish drawing the
// frames before it, and the copies after it are quick: the budget counts
// from the end of that first copy, so a frame that paid for the wait moves
// many tiles, not one.
void Slideshow::UploadPending() {
  CImgLoadThread* loader = PendingLoader();
  if (loader == nullptr || !loader->IsReady()) return;
  if (!loader->UploadStep()) {
    const double start = host->StopwatchMs();
    while (!loader->UploadStep() && host->StopwatchMs() - start < kUploadBudgetMs) {
    }
  }
  ReleaseReadPhotos();
}

bool Slideshow::NextSlideReady() {
  CImgLoadThread* pending = PendingLoader();
  if (pending == nullptr || !pending->IsComplete()) return false;
  const int32_t late = shownClock - imageDelayMs;
  // Beyond one slow frame the photograph was late, not the frame.
  if (late > kLateAfterMs) {
    ++lateChanges;
    ZV_LOG_INFO("Photograph " << changes + 2 << " late by " << late << " ms");
  }
  return true;
}

void Slideshow::StartTransition(int32_t frameMs) {
  ++changes;
  if (crossfade) {
    next = TakeSlide();
    Arrange(next);
    AdvanceCursor();
    fadeClock = 0;
  } else {
    midpointPending = 1;
  }
  inTransition = 1;
  // The part of this frame past the display time counts into the fade; time
  // spent waiting for a late photograph does not, or the fade would be cut.
  fadeClock += std::min(shownClock - imageDelayMs, frameMs);
  RunTransition();
}

void Slideshow::RunTransition() {
  const float t = static_cast<float>(fadeClock);
  if (crossfade) {
    progress = std::min(t / static_cast<float>(std::max(fadeMs, 1)), 1.0f);
  } else {
    const int32_t half = std::max(fadeMs / 2, 1);
    const float h = static_cast<float>(half);
    float x = t <= h ? t / h : 1.0f - (t - h) / h;
    x = std::min(std::max(x, 0.0f), 1.0f);
    for (int c = 0; c < 3; ++c) brightness[c] = 1.0f - (1.0f - fadeColour[c]) * x;
    if (midpointPending && fadeClock >= half) ExchangeAtMidpoint();
  }
  if (fadeClock >= fadeMs) EndTransition();
}

// The darkest moment of a fade through black: the slides change here.
void Slideshow::ExchangeAtMidpoint() {
  midpointPending = 0;
  CSlideImage* incoming = TakeSlide();
  if (incoming == nullptr) return;
  Arrange(incoming);
  AdvanceCursor();
  CSlideImage* outgoing = current;
  current = incoming;
  delete outgoing;
  captionSlot = NextCaptionSlot();
  Queue(NextCaptionSlot());
}

void Slideshow::EndTransition() {
  inTransition = 0;
  fadeClock = 0;
  shownClock = 0;
  if (crossfade && next != nullptr) {
    CSlideImage* outgoing = current;
    current = next;
    next = nullptr;
    delete outgoing;
    captionSlot = NextCaptionSlot();
    Queue(NextCaptionSlot());
  }
}

void Slideshow::ZoomSlides(int32_t a) {
  const float step = static_cast<float>(a) / 20.0f * zoomRate;
  // A zoom-out slide stops at its fitted size when its successor is late.
  if (current != nullptr &&
      (current->zoomDirection > 0 || shownClock <= imageDelayMs + fadeMs)) {
    current->Zoom(step);
  }
  if (inTransition && next != nullptr) next->Zoom(step);
}

void Slideshow::CleanUp() {
  if (DropFailedLoaders() && loaders.Count() == 0) {
    AdvanceCursor();
    Queue(NextCaptionSlot());
  }
}

void Slideshow::ReleaseReadPhotos() {
  for (auto* node = loaders.FirstNode(); node != nullptr; node = node->next) {
    QueuedLoad& load = node->data;
    if (load.bytesReleased || !load.loader->IsReady() || PhotoBeingRead(load.photo)) continue;
    host->ReleasePhoto(load.photo);
    load.bytesReleased = true;
  }
}

bool Slideshow::PhotoBeingRead(int32_t photo) const {
  for (const auto* node = loaders.FirstNode(); node != nullptr; node = node->next) {
    const CImgLoadThread* loader = node->data.loader;
    if (node->data.photo == photo && loader->GetState() < kLoaderReady && loader->GetError() == kLoaderNoError)
      return true;
  }
  return false;
}

void Slideshow::SetBrightness(float value) {
  for (float& component : brightness) component = value;
}
