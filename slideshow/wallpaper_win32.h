// Leaving the photograph last brought on screen as the desktop wallpaper
// when the saver ends.
#pragma once

#include <string>

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/slideshow.h"
#include "slideshow/slideshow_instance_win32.h"

// Writes photograph `photo` (the one on screen) to `path` as a bitmap,
// stretched to width x height or fitted inside it, and makes it the
// wallpaper. Nothing happens without that photograph's bytes in memory.
void SaveWallpaper(BundleSlideshowHost& host, int32_t photo, const std::string& path, int width, int height,
                   bool stretch);
// The end of a run's wallpaper step: the desktop's display values from the
// settings, then SaveWallpaper at the desktop's size.
void LeaveWallpaper(SlideshowInstance& slideshow, int32_t photo, const std::string& path, int desktopWidth,
                    int desktopHeight);
