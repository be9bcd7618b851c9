// The About dialog (resource 140): the credits panel with its drifting
// stars and endless credit lines, the maker's address as a link and a
// skinned button to the maker's web site.
#pragma once

#include <windows.h>

#include <string>

// `skin` is the settings dialog's skin picture (the button's face is cut
// from it; null leaves the face black); `webServer` the maker's host.
INT_PTR RunAboutDialog(HWND owner, HDC skin, const std::string& webServer);
