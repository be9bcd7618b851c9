#include "slideshow/slideshow_instance_win32.h"

#include <memory>

#include "slideshow/slide_textures_win32.h"

Slideshow* theSlideshow = nullptr;

namespace {

std::unique_ptr<Direct3DTileBackend> tileBackend;
std::unique_ptr<BundleSlideshowHost> bundleHost;
std::unique_ptr<CaptionSlots> captionSlots;

}  // namespace

Slideshow* CreateSlideshow() {
  DestroySlideshow();
  tileBackend = std::make_unique<Direct3DTileBackend>();
  captionSlots = std::make_unique<CaptionSlots>();
  bundleHost = std::make_unique<BundleSlideshowHost>(tileBackend.get(), captionSlots.get());
  theSlideshow = new Slideshow(bundleHost.get());
  return theSlideshow;
}

void DestroySlideshow() {
  delete theSlideshow;
  theSlideshow = nullptr;
  bundleHost.reset();
  captionSlots.reset();
  tileBackend.reset();
}

BundleSlideshowHost* SlideshowBundleHost() { return bundleHost.get(); }

CaptionSlots* SlideshowCaptions() { return captionSlots.get(); }
