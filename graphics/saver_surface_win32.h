// What a saver run draws on: its window and device context, the screen's
// size, the display mode it asked for, and the monitors it blanks.
#pragma once

#include <windows.h>

#include "graphics/monitors.h"

struct SaverSurface {
  HWND window = nullptr;
  HDC dc = nullptr;
  int width = 0;   // the saver window's size: the screen, or the preview
  int height = 0;
  // The desktop's size before any display-mode change; the wallpaper's size.
  int desktopWidth = 0;
  int desktopHeight = 0;
  // The mode the run asked for; the bits become the back buffer's real depth
  // once the graphics layer exists.
  int requestedWidth = 0;
  int requestedHeight = 0;
  int requestedBits = 0;
  bool displayModeChanged = false;
  MonitorTable monitors = {};
};
