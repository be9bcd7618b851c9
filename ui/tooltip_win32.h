// Tooltips for the skinned controls: one tooltip window per control, owned
// by the control, covering its whole client area. The dialogs keep the
// windows and destroy them when they close.
#pragma once

#include <windows.h>

// Makes a topmost tooltip window for `control` showing `text` (the tooltip
// keeps a copy), at most `maxWidth` pixels wide. `extraStyle` is added to the window style and `extraFlags` to the
// tool's flags (TTF_SUBCLASS always); a title with `titleIcon` is set only
// when `title` is given, the auto-pop delay only when it is not -1. Null
// when the window cannot be made.
HWND AddTooltip(HWND control, const char* text, int maxWidth = 250, DWORD extraStyle = 0,
                UINT extraFlags = 0, WPARAM titleIcon = 0, const char* title = nullptr,
                int autoPopDelay = -1);
