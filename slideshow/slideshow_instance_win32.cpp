#include "slideshow/slideshow_instance_win32.h"

#include "foundation/saver_settings.h"
#include "slideshow/caption_layout.h"
#include "slideshow/slide_layout.h"

namespace {

// Enough swaps that no photograph is likely to stay where it was.
const int32_t kShufflePasses = 50;

}  // namespace

SlideshowInstance::SlideshowInstance()
    : tiles_(std::make_unique<Direct3DTileBackend>()),
      captions_(std::make_unique<CaptionSlots>()),
      host_(std::make_unique<BundleSlideshowHost>(tiles_.get(), captions_.get())),
      show_(std::make_unique<Slideshow>(host_.get())) {}

SlideshowInstance::~SlideshowInstance() = default;

void SlideshowInstance::Configure(const SlideshowSetup& setup) {
  Slideshow& show = *show_;
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
  style.quality = setup.captionQuality;
  style.mipMap = ss->MipMap ? 1 : 0;
  captions_->SetStyle(style);
  show.SetShufflePasses(kShufflePasses);
  show.SetRandomOrder(ss->RandomOrder != 0);
  show.SetImageDelay(ImageDelayMsFor(ss->ImageDelay));
  const float halfHeight =
      static_cast<float>(setup.height) * 2.0f / static_cast<float>(setup.width) * 0.5f;
  show.SetViewRange(halfHeight, -halfHeight);
  show.SetScreenSize(setup.width, setup.height);
  show.SetTileLimit(setup.tileLimit);
  show.SetTextureBits(setup.textureBits);
  show.Open(setup.bundlePath.c_str());
  show.SetCram(ss->CramImages != 0);
  show.SetCramSize(EffectiveCramSize(ss->CramSize));
  show.SetZoomRate(ZoomRateFor(ss->ImageDelay));
}
