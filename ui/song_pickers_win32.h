// The two open-file descriptions of the music dialog, one ANSI and one wide,
// which the entry point prepares before the settings dialog opens. Their
// file buffers grow while the user selects (the hook), so a selection of
// any number of files fits.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <string>

struct SongPickers {
  SongPickers() = default;
  SongPickers(const SongPickers&) = delete;
  SongPickers& operator=(const SongPickers&) = delete;
  ~SongPickers();

  OPENFILENAMEA narrow = {};
  OPENFILENAMEW wide = {};
  bool useWide = false;
  char narrowBuffer[1024] = {};
  wchar_t wideBuffer[1024] = {};
  wchar_t initialFolder[MAX_PATH] = {};
  // The grown buffers, once the hook has replaced the ones above.
  char* narrowHeap = nullptr;
  wchar_t* wideHeap = nullptr;
};

// Fills both descriptions. `wideFunctions`: the wide dialog is used (Windows
// 2000 and later), and it opens in the user's music folder, else the
// documents folder.
void PrepareSongPickers(SongPickers& pickers, bool wideFunctions);

// Runs the open-file dialog of the chosen set, owned by `owner`. True when
// the user chose; the answer (the dialog's whole buffer) is then in UTF-8,
// with the file name offset counted in its bytes.
bool PickSongs(SongPickers& pickers, HWND owner, std::string& answer, size_t& fileOffset);

// After a choice: the next call opens where the user left off.
void ForgetLastChoice(SongPickers& pickers);
