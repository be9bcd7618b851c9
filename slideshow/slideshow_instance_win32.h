// The saver run's one slideshow with the parts it is made of: the bundle
// host it reads photographs through, the Direct3D tile textures and the
// caption slots.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/caption_slots_win32.h"
#include "slideshow/slide_textures_win32.h"
#include "slideshow/slideshow.h"

// What the slideshow needs of the run beyond the saved settings.
struct SlideshowSetup {
  int width = 0;  // of the saver window
  int height = 0;
  int tileLimit = 256;
  int textureBits = 16;
  int32_t captionQuality = 0;  // the caption font's quality on this system
  std::string bundlePath;
};

class SlideshowInstance {
 public:
  // Unconfigured; Configure opens the bundle.
  SlideshowInstance();
  // Destroys the slideshow, its slides and loaders (waiting for their
  // threads), then the parts it used.
  ~SlideshowInstance();
  SlideshowInstance(const SlideshowInstance&) = delete;
  SlideshowInstance& operator=(const SlideshowInstance&) = delete;

  // The saved settings and `setup`, in the order the slideshow expects them.
  void Configure(const SlideshowSetup& setup);

  Slideshow& Show() { return *show_; }
  BundleSlideshowHost& Host() { return *host_; }
  CaptionSlots& Captions() { return *captions_; }
  const Direct3DTileBackend& Tiles() const { return *tiles_; }

 private:
  // The slides hold textures of the backend and captions of the slots, so
  // the members go in reverse of this order: slideshow first, tiles last.
  std::unique_ptr<Direct3DTileBackend> tiles_;
  std::unique_ptr<CaptionSlots> captions_;
  std::unique_ptr<BundleSlideshowHost> host_;
  std::unique_ptr<Slideshow> show_;
};
