// The skinned settings dialog (resource 104) that configuration mode runs:
// the music, slideshow, display-mode and fast-mode settings on a 640 x 458
// window shaped like its skin picture. OK writes every setting to the
// registry, Cancel discards.
#pragma once

#include <windows.h>

#include <string>

class SaverSettings;
struct SongPickers;

struct SettingsDialogContext {
  SaverSettings* settings = nullptr;
  std::string helpFile;      // "Orbex.CHM" beside the program
  std::string webServer;     // host of the maker's pages
  std::string playlistFile;  // the user's custom playlist
  SongPickers* songPickers = nullptr;
  bool clearType = true;     // caption samples in ClearType (Windows 2000 and later)
};

// Runs the dialog modally, owned by `owner`; returns what it ended with
// (1 OK, 2 Cancel, -1 when it could not be made).
INT_PTR RunSettingsDialog(HINSTANCE instance, HWND owner, const SettingsDialogContext& context);

// The dialog procedure, for tests that create the dialog themselves.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
