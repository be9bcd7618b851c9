#include "slideshow/fast_mode_win32.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/logger.h"
#include "foundation/rect_win32.h"
#include "foundation/saver_settings.h"
#include "slideshow/caption_layout.h"
#include "slideshow/fast_effects.h"

namespace {

const int32_t kEffectMs = 1500;
// The wait between two frames, short enough for input to stay responsive.
const float kFramePauseMs = 1.0f;

int32_t RandomNumber() { return std::rand(); }

void DrawCaptionText(HDC dc, const char* text, const Rect& r, COLORREF colour, uint32_t format, int* height) {
  RECT area = ToRECT(r);
  SetTextColor(dc, colour);
  const int h = DrawTextA(dc, text, -1, &area, format);
  if (height != nullptr) *height = h;
}

}  // namespace

FastMode::FastMode(const SaverSurface& surface, SlideshowInstance& slideshow, RunControl& run,
                   FrameTimer& frameClock, int32_t captionQuality)
    : surface_(surface), slideshow_(slideshow), run_(run), frameClock_(frameClock), captionQuality_(captionQuality) {}

FastMode::~FastMode() {
  image_.reset();
  if (offscreenDC_ != nullptr) DeleteDC(offscreenDC_);
  if (blackDC_ != nullptr) DeleteDC(blackDC_);
  if (offscreenBitmap_ != nullptr) DeleteObject(offscreenBitmap_);
  if (blackBitmap_ != nullptr) DeleteObject(blackBitmap_);
  if (captionFont_ != nullptr) DeleteObject(captionFont_);
}

// The cursor's next entry, wrapping to the first without a reshuffle.
void FastMode::AdvanceCursor() {
  if (!PlayOrder().Next()) PlayOrder().First();
}

void FastMode::StartLoad() {
  BundleSlideshowHost& host = slideshow_.Host();
  loadingPhoto_ = PlayOrder().Current().photo;
  const ImageDims* dims = host.FindDims(host.PhotoFile(loadingPhoto_));
  loading_ = std::make_unique<FastPictureLoader>(*host.Imaging(), host.PhotoSourceOf(loadingPhoto_), dims,
                                                 surface_.width, surface_.height);
  loading_->Begin();
}

bool FastMode::TakeLoaded() {
  if (loading_ == nullptr || !loading_->Done()) return false;
  std::unique_ptr<SlidePicture> picture = loading_->Take();
  loading_.reset();
  if (picture == nullptr) {
    if (loadingPhoto_ != shownPhoto_) slideshow_.Host().ReleasePhoto(loadingPhoto_);
    // Every photograph failed in a row: nothing left to show.
    if (++failures_ >= PlayOrder().Count()) {
      GiveUpForWantOfImages(run_, shownPhoto_ >= 0);
      return false;
    }
    AdvanceCursor();
    StartLoad();
    return false;
  }
  failures_ = 0;
  image_.reset(static_cast<ImagePicture*>(picture.release()));
  loadedPhoto_ = loadingPhoto_;
  return true;
}

// Measured off screen at its final width, then shadow and text just above
// the bottom edge of the picture.
void FastMode::DrawCaption() {
  BundleSlideshowHost& host = slideshow_.Host();
  const ImageCaption* caption = host.FindCaption(host.PhotoFile(loadedPhoto_));
  if (caption == nullptr) return;
  const char* text = caption->text.c_str();
  const uint32_t format = CaptionFormatFor(ss->CaptionOrientation);
  const int width = surface_.width, height = surface_.height;
  SetBkMode(offscreenDC_, TRANSPARENT);
  int h = 0;
  DrawCaptionText(offscreenDC_, text, FastCaptionMeasureRect(width, height), RGB(255, 255, 255), format, &h);
  DrawCaptionText(offscreenDC_, text, FastCaptionShadowRect(width, height, h), RGB(0, 0, 0), format, nullptr);
  DrawCaptionText(offscreenDC_, text, FastCaptionTextRect(width, height, h), RGB(255, 255, 255), format,
                  nullptr);
}

void FastMode::MakeCaptionFont() {
  captionFont_ = CreateFontA(ss->CaptionFontSize, 0, 0, 0, ss->CaptionBold ? 700 : 400, ss->CaptionItalic ? 1 : 0,
                             0, 0, 0, 4, 0, static_cast<DWORD>(captionQuality_), 0, ss->CaptionFont.c_str());
  SetBkMode(offscreenDC_, TRANSPARENT);
  SetTextColor(offscreenDC_, RGB(255, 255, 255));
  if (captionFont_ == nullptr) {
    ZV_LOG_ERROR("Unable to create caption font!");
    return;
  }
  SelectObject(offscreenDC_, captionFont_);
}

void FastMode::Compose() {
  const int width = surface_.width, height = surface_.height;
  StretchBlt(offscreenDC_, 0, 0, width, height, blackDC_, 0, 0, 1, 1, SRCCOPY);
  if (image_ == nullptr) return;
  // The loader fitted the picture inside the screen already.
  const CImageData& picture = image_->Data();
  const int x = width / 2 - picture.GetWidth() / 2;
  const int y = height / 2 - picture.GetHeight() / 2;
  picture.Draw(offscreenDC_, x, y, picture.GetWidth(), picture.GetHeight(), 0, 0, 0, SRCCOPY);
  if (ss->ShowCaptions) DrawCaption();
}

void FastMode::ShowLoaded() {
  if (shownPhoto_ >= 0 && shownPhoto_ != loadedPhoto_) slideshow_.Host().ReleasePhoto(shownPhoto_);
  shownPhoto_ = loadedPhoto_;
}

void FastMode::PreloadNext() {
  AdvanceCursor();
  StartLoad();
}

void FastMode::TimedEffect() {
  CPerfTimer timer(true);
  PlayEffect(std::rand() % 12 + 1, kEffectMs);
  timer.Stop();
  effectStats_.Add(static_cast<double>(timer.Elapsed()));
}

void FastMode::PumpMessages() {
  while (!run_.QuitRequested() && run_.PumpOneMessage()) {
  }
}

void FastMode::Setup() {
  HDC screen = surface_.dc;
  blackDC_ = CreateCompatibleDC(screen);
  blackBitmap_ = CreateCompatibleBitmap(screen, 1, 1);
  SelectObject(blackDC_, blackBitmap_);
  SetPixel(blackDC_, 0, 0, RGB(0, 0, 0));
  offscreenDC_ = CreateCompatibleDC(screen);
  offscreenBitmap_ = CreateCompatibleBitmap(screen, surface_.width, surface_.height);
  SelectObject(offscreenDC_, offscreenBitmap_);

  if (PlayOrder().Count() == 0 || !PlayOrder().First()) {
    GiveUpForWantOfImages(run_, false);
    return;
  }
  // The window is up already: messages keep flowing while the first loads.
  StartLoad();
  while (!TakeLoaded()) {
    if (loading_ == nullptr || run_.QuitRequested()) return;  // gave up, or the saver ends
    if (!run_.PumpOneMessage()) Sleep(1);
  }
  if (ss->ShowCaptions) MakeCaptionFont();  // before the first picture is captioned
  Compose();
  ShowLoaded();
  TimedEffect();
  MirrorMonitors();
  PreloadNext();
}

void FastMode::Draw(float frameMs) {
  imageTimer_ += static_cast<int32_t>(frameMs);
  SpinDelay(kFramePauseMs);
  // A photograph still loading when its time comes is waited for.
  if (imageTimer_ < ImageDelayMsFor(ss->ImageDelay) || !TakeLoaded()) return;
  Compose();
  ShowLoaded();
  TimedEffect();
  ++changes_;
  frameClock_.Init();
  MirrorMonitors();
  imageTimer_ = 0;
  PreloadNext();
}

void FastMode::PlayEffect(int32_t effect, int32_t durationMs) {
  HDC screen = surface_.dc;
  if (offscreenDC_ == nullptr || screen == nullptr) return;
  FastEffect fx(effect, surface_.width, surface_.height, RandomNumber);
  auto apply = [this, screen](const std::vector<EffectCopy>& copies) {
    for (const EffectCopy& c : copies) {
      HDC source = c.source == kFromNewPicture ? offscreenDC_ : screen;
      BitBlt(screen, c.x, c.y, c.width, c.height, source, c.sourceX, c.sourceY, SRCCOPY);
    }
  };
  if (fx.Effect() == 0) {
    apply(fx.Step(0, 1));
    return;
  }
  if (fx.Skipped()) return;
  CPerfTimer effectTimer(true);
  for (int32_t position = 0; position < fx.Lines() && !run_.QuitRequested();) {
    int32_t to = position + 1;
    if (fx.Sweeping()) {
      const double elapsed = static_cast<double>(effectTimer.Elapsed());
      to = std::max(to, FastEffect::LinesDue(elapsed, durationMs, fx.Lines()));
    }
    to = std::min(to, fx.Lines());
    apply(fx.Step(position, to));
    position = to;
    GdiFlush();
    const double dueMs = FastEffect::DueMs(position, durationMs, fx.Lines());
    while (static_cast<double>(effectTimer.Elapsed()) < dueMs) Sleep(static_cast<DWORD>(fx.PollMs()));
    PumpMessages();
  }
}

void FastMode::MirrorMonitors() {
  const int sourceWidth = surface_.requestedWidth > 0 ? surface_.requestedWidth : surface_.width;
  const int sourceHeight = surface_.requestedHeight > 0 ? surface_.requestedHeight : surface_.height;
  const MonitorTable& monitors = surface_.monitors;
  for (int32_t i = 0; i < monitors.count; ++i) {
    const MonitorRecord& m = monitors.records[i];
    if (m.isPrimary || m.window == nullptr) continue;
    HWND window = static_cast<HWND>(m.window);
    HDC dc = GetDC(window);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, m.rect.right - m.rect.left, m.rect.bottom - m.rect.top, surface_.dc, 0, 0, sourceWidth,
               sourceHeight, SRCCOPY);
    ReleaseDC(window, dc);
  }
}
