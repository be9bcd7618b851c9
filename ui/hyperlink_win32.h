// Static texts turned into web links at run time: drawn in the link colour,
// underlined while the mouse is over them, with the hand cursor; a click
// reaches the dialog as the static's ordinary WM_COMMAND and the dialog
// opens the address. All state lives in window properties, removed again
// when the windows are destroyed. Both programs use it.
#pragma once

#include <windows.h>

// The link colour every dialog passes: dark blue.
constexpr COLORREF kHyperlinkColour = 0xC00000;

// Always 1.
int MakeHyperlink(HWND staticWindow, COLORREF colour);
int MakeHyperlinkById(HWND dialog, int controlId, COLORREF colour);

// Opens a link the maker's server sent, maximised in the browser, but only
// an "http://" or "https://" address: anything else could run a program.
// False when it was not opened.
bool OpenServerLink(const char* link);
