// Leaving the photograph last brought on screen as the desktop wallpaper
// when the saver ends.
#pragma once

#include <string>

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/slideshow.h"
#include "slideshow/slideshow_instance_win32.h"

// Writes the picture of the play-order entry before the cursor (the one on
// screen) to `path` as a bitmap, stretched to width x height or fitted
// inside it, and makes it the wallpaper. Nothing happens while that
// photograph's bytes were never loaded.
void SaveWallpaper(Slideshow& show, BundleSlideshowHost& host, const std::string& path, int width,
                   int height, bool stretch);
// The end of a run's wallpaper step: the desktop's display values from the
// settings, then SaveWallpaper at the desktop's size.
void LeaveWallpaper(SlideshowInstance& slideshow, const std::string& path, int desktopWidth, int desktopHeight);
