// The saver run's one slideshow with the parts it is made of: the bundle
// host it reads photographs through, the Direct3D tile textures and the
// caption slots.
#pragma once

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/caption_slots_win32.h"
#include "slideshow/slideshow.h"

extern Slideshow* theSlideshow;

// Makes the slideshow (unconfigured); an existing one is destroyed first.
Slideshow* CreateSlideshow();
// Destroys the slideshow, its slides and loaders (waiting for their threads).
void DestroySlideshow();
BundleSlideshowHost* SlideshowBundleHost();
CaptionSlots* SlideshowCaptions();
