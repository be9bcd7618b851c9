#include "slideshow/fast_mode_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "bundle/image_object.h"
#include "foundation/logger.h"
#include "foundation/perf_timer.h"
#include "foundation/saver_settings.h"
#include "host/host_state.h"
#include "host/saver_runner_win32.h"
#include "slideshow/caption_layout.h"
#include "slideshow/fast_effects.h"
#include "slideshow/picture_fit.h"
#include "slideshow/render_frame_win32.h"
#include "slideshow/slideshow_instance_win32.h"

namespace {

HDC offscreenDC = nullptr;
HBITMAP offscreenBitmap = nullptr;
HDC blackDC = nullptr;
HBITMAP blackBitmap = nullptr;
std::unique_ptr<CImageObject> fastImage;
HFONT captionFont = nullptr;
DurationStats effectStats;
FittedSize displaySize;
int32_t imageTimer = 0;
const int32_t kEffectMs = 1500;

const char kNoGoodImages[] = "Couldn't find any good images, quitting...";

LinkedList_Basic<PlaylistElement>& PlayOrder() { return theSlideshow->GetPlayOrder(); }

// The cursor's next entry, wrapping to the first without a reshuffle.
void AdvanceCursor() {
  if (!PlayOrder().Next()) PlayOrder().First();
}

bool LoadFastImage(const PlaylistElement& entry) {
  BundleSlideshowHost* host = SlideshowBundleHost();
  VFFILE* file = host->PhotoFile(entry.photo);
  VFFILECAT* category = host->ImageCategory();
  if (file == nullptr || category == nullptr) return false;
  const uint8_t* bytes = category->Load(file);
  if (bytes == nullptr) return false;
  auto image = std::make_unique<CImageObject>();
  if (image->Load(bytes, file->size) != 0) return false;
  const ImageDims* dims = host->FindDims(file);
  displaySize = dims != nullptr ? FitInside(dims->width, dims->height, screenWidth, screenHeight)
                                : FitInside(image->GetObjectDataPtr()->GetWidth(),
                                            image->GetObjectDataPtr()->GetHeight(), screenWidth,
                                            screenHeight);
  fastImage = std::move(image);
  return true;
}

// Tries the cursor's entry and the following ones, `attempts` in all.
bool LoadFromCursor(int32_t attempts, bool advanceFirst) {
  for (int32_t n = 0; n < attempts; ++n) {
    if (advanceFirst || n > 0) AdvanceCursor();
    if (LoadFastImage(PlayOrder().Current())) return true;
  }
  return false;
}

void DrawCaptionText(const char* text, const CaptionRect& r, COLORREF colour, uint32_t format,
                     int* height) {
  RECT area = {r.left, r.top, r.right, r.bottom};
  SetTextColor(offscreenDC, colour);
  const int h = DrawTextA(offscreenDC, text, -1, &area, format);
  if (height != nullptr) *height = h;
}

// Measured off screen at its final width, then shadow and text just above
// the bottom edge of the picture.
void DrawCaption() {
  BundleSlideshowHost* host = SlideshowBundleHost();
  const ImageCaption* caption = host->FindCaption(host->PhotoFile(PlayOrder().Current().photo));
  if (caption == nullptr) return;
  const char* text = caption->text.c_str();
  const uint32_t format = CaptionFormatFor(ss->CaptionOrientation);
  SetBkMode(offscreenDC, TRANSPARENT);
  int h = 0;
  DrawCaptionText(text, FastCaptionMeasureRect(screenWidth, screenHeight), RGB(255, 255, 255), format,
                  &h);
  DrawCaptionText(text, FastCaptionShadowRect(screenWidth, screenHeight, h), RGB(0, 0, 0), format,
                  nullptr);
  DrawCaptionText(text, FastCaptionTextRect(screenWidth, screenHeight, h), RGB(255, 255, 255), format,
                  nullptr);
}

void MakeCaptionFont() {
  captionFont = CreateFontA(ss->CaptionFontSize, 0, 0, 0, ss->CaptionBold ? 700 : 400,
                            ss->CaptionItalic ? 1 : 0, 0, 0, 0, 4, 0,
                            static_cast<DWORD>(CaptionFontQuality(osVersion)), 0,
                            ss->CaptionFont.c_str());
  SetBkMode(offscreenDC, TRANSPARENT);
  SetTextColor(offscreenDC, RGB(255, 255, 255));
  if (captionFont == nullptr) {
    ZV_LOG_ERROR("Unable to create caption font!");
    return;
  }
  SelectObject(offscreenDC, captionFont);
}

void Compose() {
  StretchBlt(offscreenDC, 0, 0, screenWidth, screenHeight, blackDC, 0, 0, 1, 1, SRCCOPY);
  if (fastImage == nullptr) return;
  const CImageData& picture = *fastImage->GetObjectDataPtr();
  const int x = screenWidth / 2 - displaySize.width / 2;
  const int y = screenHeight / 2 - displaySize.height / 2;
  picture.Stretch(offscreenDC, x, y, displaySize.width, displaySize.height, 0, 0, picture.GetWidth(),
                  picture.GetHeight(), HALFTONE, SRCCOPY);
  if (ss->ShowCaptions) DrawCaption();
}

void GiveUp(bool critical) {
  ZV_LOG_ERROR(kNoGoodImages);
  if (critical) ss->WriteCriticalError(1);
  RequestClose(ss);
}

void PreloadNext() {
  if (!LoadFromCursor(PlayOrder().Count(), true)) GiveUp(true);
}

void TimedEffect() {
  CPerfTimer timer(true);
  PlayEffect(std::rand() % 12 + 1, kEffectMs);
  timer.Stop();
  effectStats.Add(static_cast<double>(timer.Elapsed()));
}

void ShowComposed() {
  TimedEffect();
  MirrorMonitors();
}

int32_t RandomNumber() { return std::rand(); }

void PumpMessages() {
  MSG msg;
  while (!quitRequested && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) PumpOneMessage();
}

}  // namespace

bool FastSetup() {
  HDC screen = saverDC;
  blackDC = CreateCompatibleDC(screen);
  blackBitmap = CreateCompatibleBitmap(screen, 1, 1);
  SelectObject(blackDC, blackBitmap);
  SetPixel(blackDC, 0, 0, RGB(0, 0, 0));
  offscreenDC = CreateCompatibleDC(screen);
  offscreenBitmap = CreateCompatibleBitmap(screen, screenWidth, screenHeight);
  SelectObject(offscreenDC, offscreenBitmap);

  if (theSlideshow == nullptr || PlayOrder().Count() == 0 || !PlayOrder().First() ||
      !LoadFromCursor(PlayOrder().Count(), false)) {
    GiveUp(false);
    return true;
  }
  if (ss->ShowCaptions) MakeCaptionFont();  // before the first picture is captioned
  Compose();
  ShowComposed();
  PreloadNext();
  return true;
}

void FastFrame(float frameMs) {
  imageTimer += static_cast<int32_t>(frameMs);
  SpinDelay(1.0f);
  if (imageTimer < ImageDelayMsFor(ss->ImageDelay)) return;
  Compose();
  TimedEffect();
  StartFrameTimer();
  MirrorMonitors();
  imageTimer = 0;
  PreloadNext();
}

void PlayEffect(int32_t effect, int32_t durationMs) {
  if (offscreenDC == nullptr || saverDC == nullptr) return;
  FastEffect fx(effect, screenWidth, screenHeight, RandomNumber);
  auto apply = [](const std::vector<EffectCopy>& copies) {
    for (const EffectCopy& c : copies) {
      HDC source = c.source == kFromNewPicture ? offscreenDC : saverDC;
      BitBlt(saverDC, c.x, c.y, c.width, c.height, source, c.sourceX, c.sourceY, SRCCOPY);
    }
  };
  if (fx.Effect() == 0) {
    apply(fx.Step(0, 1));
    return;
  }
  if (fx.Skipped()) return;
  CPerfTimer effectTimer(true);
  for (int32_t position = 0; position < fx.Lines() && !quitRequested;) {
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

void MirrorMonitors() {
  const int sourceWidth = requestedWidth > 0 ? requestedWidth : screenWidth;
  const int sourceHeight = requestedHeight > 0 ? requestedHeight : screenHeight;
  for (int32_t i = 0; i < monitorTable.count; ++i) {
    const MonitorRecord& m = monitorTable.records[i];
    if (m.isPrimary || m.window == nullptr) continue;
    HWND window = static_cast<HWND>(m.window);
    HDC dc = GetDC(window);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, m.rect.right - m.rect.left, m.rect.bottom - m.rect.top, saverDC, 0, 0, sourceWidth,
               sourceHeight, SRCCOPY);
    ReleaseDC(window, dc);
  }
}

void FastCleanUp() {
  fastImage.reset();
  if (offscreenDC != nullptr) DeleteDC(offscreenDC);
  if (blackDC != nullptr) DeleteDC(blackDC);
  if (offscreenBitmap != nullptr) DeleteObject(offscreenBitmap);
  if (blackBitmap != nullptr) DeleteObject(blackBitmap);
  if (captionFont != nullptr) DeleteObject(captionFont);
  captionFont = nullptr;
  offscreenDC = blackDC = nullptr;
  offscreenBitmap = blackBitmap = nullptr;
}

const DurationStats& FastEffectStats() { return effectStats; }
