#include "ui/song_pickers_win32.h"

#include <shlobj.h>

#include <string>

#include "foundation/wide_text_win32.h"

namespace {

// Both structures carry the size of the original layout (without the
// trailing Windows 2000 members), which every version of the dialog takes.
const DWORD kNarrowSize = sizeof(OPENFILENAME_NT4A);
const DWORD kWideSize = sizeof(OPENFILENAME_NT4W);
const DWORD kFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
                     OFN_ENABLEHOOK | OFN_HIDEREADONLY;
const char kTitle[] = "Select a song or playlist";
const char kOfnProperty[] = "OFN";

// Description and pattern pairs, each ended by a zero, the list by another.
const char kFilter[] =
    "All files (*.*)\0*.*\0"
    "All supported types\0*.mp2;*.mp3;*.wav;*.ogg;*.wma;*.asf;*.m3u;*.pls;*.b4s;*.bpl;*.asx;*.wpl;*.xspf\0"
    "ASF (*.asf)\0*.asf\0"
    "MPEG Audio (*.mp2,*.mp3)\0*.mp2;*.mp3\0"
    "Vorbis files (*.ogg)\0*.ogg\0"
    "WAV (*.wav)\0*.wav\0"
    "WMA (*.wma)\0*.wma\0"
    "ASX Playlist (*.asx)\0*.asx\0"
    "B4S Playlist (*.b4s)\0*.b4s\0"
    "BPL Playlist (*.bpl)\0*.bpl\0"
    "M3U Playlist (*.m3u)\0*.m3u\0"
    "PLS Playlist (*.pls)\0*.pls\0"
    "WPL Playlist (*.wpl)\0*.wpl\0"
    "XSPF Playlist (*.xspf)\0*.xspf\0";

// The wide filter and title, converted once.
std::wstring Widen(const char* text, size_t length) {
  std::wstring wide(length, L'\0');
  for (size_t i = 0; i < length; ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return wide;
}
const std::wstring& WideFilter() {
  static const std::wstring filter = Widen(kFilter, sizeof(kFilter));
  return filter;
}
const std::wstring& WideTitle() {
  static const std::wstring title = Widen(kTitle, sizeof(kTitle));
  return title;
}

// The pickers being shown: the hook tells the two sets apart by address.
SongPickers* shownPickers = nullptr;

void GrowBuffer(HWND fileDialog, void* description) {
  if (shownPickers == nullptr) return;
  // The length of the names the user has selected so far.
  const LRESULT selectionLength = SendMessageA(fileDialog, CDM_GETSPEC, 0, 0);
  if (selectionLength < 0) return;
  const DWORD needed = static_cast<DWORD>(selectionLength) + 260;
  HANDLE heap = GetProcessHeap();
  if (description == &shownPickers->wide) {
    OPENFILENAMEW& wide = shownPickers->wide;
    if (wide.nMaxFile >= needed) return;
    auto* buffer = static_cast<wchar_t*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, needed * sizeof(wchar_t)));
    if (buffer == nullptr) return;
    if (shownPickers->wideHeap != nullptr) HeapFree(heap, 0, shownPickers->wideHeap);
    shownPickers->wideHeap = buffer;
    wide.lpstrFile = buffer;
    wide.nMaxFile = needed;
  } else if (description == &shownPickers->narrow) {
    OPENFILENAMEA& narrow = shownPickers->narrow;
    if (narrow.nMaxFile >= needed) return;
    auto* buffer = static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, needed));
    if (buffer == nullptr) return;
    if (shownPickers->narrowHeap != nullptr) HeapFree(heap, 0, shownPickers->narrowHeap);
    shownPickers->narrowHeap = buffer;
    narrow.lpstrFile = buffer;
    narrow.nMaxFile = needed;
  }
}

UINT_PTR CALLBACK SongPickerHook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam) {
  HWND fileDialog = GetParent(hookWindow);
  switch (message) {
    case WM_INITDIALOG:
      if (!SetPropA(fileDialog, kOfnProperty, reinterpret_cast<HANDLE>(lParam)))
        MessageBoxA(nullptr, "SET PRop Failed", "ERROR", MB_OK);
      break;
    case WM_DESTROY:
      RemovePropA(fileDialog, kOfnProperty);
      break;
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const OFNOTIFYA*>(lParam);
      if (notice->hdr.code == static_cast<UINT>(CDN_SELCHANGE))
        GrowBuffer(fileDialog, GetPropA(fileDialog, kOfnProperty));
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace

SongPickers::~SongPickers() {
  HANDLE heap = GetProcessHeap();
  if (narrowHeap != nullptr) HeapFree(heap, 0, narrowHeap);
  if (wideHeap != nullptr) HeapFree(heap, 0, wideHeap);
}

void PrepareSongPickers(SongPickers& pickers, bool wideFunctions) {
  pickers.useWide = wideFunctions;
  OPENFILENAMEA& narrow = pickers.narrow;
  narrow.lStructSize = kNarrowSize;
  narrow.lpstrFilter = kFilter;
  narrow.nFilterIndex = 2;
  narrow.lpstrFile = pickers.narrowBuffer;
  narrow.nMaxFile = sizeof(pickers.narrowBuffer);
  narrow.lpstrTitle = kTitle;
  narrow.Flags = kFlags;
  narrow.lpfnHook = SongPickerHook;

  OPENFILENAMEW& wide = pickers.wide;
  wide.lStructSize = kWideSize;
  wide.lpstrFilter = WideFilter().c_str();
  wide.nFilterIndex = 2;
  wide.lpstrFile = pickers.wideBuffer;
  wide.nMaxFile = sizeof(pickers.wideBuffer) / sizeof(wchar_t);
  wide.lpstrTitle = WideTitle().c_str();
  wide.Flags = kFlags;
  wide.lpfnHook = SongPickerHook;
  if (wideFunctions &&
      (SHGetFolderPathW(nullptr, CSIDL_MYMUSIC, nullptr, 0, pickers.initialFolder) == S_OK ||
       SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, pickers.initialFolder) == S_OK))
    wide.lpstrInitialDir = pickers.initialFolder;
}

bool PickSongs(SongPickers& pickers, HWND owner, std::string& answer, size_t& fileOffset) {
  shownPickers = &pickers;
  BOOL chosen;
  if (pickers.useWide) {
    pickers.wide.hwndOwner = owner;
    chosen = GetOpenFileNameW(reinterpret_cast<OPENFILENAMEW*>(&pickers.wide));
  } else {
    pickers.narrow.hwndOwner = owner;
    chosen = GetOpenFileNameA(reinterpret_cast<OPENFILENAMEA*>(&pickers.narrow));
  }
  shownPickers = nullptr;
  if (!chosen) return false;
  if (!pickers.useWide) {
    // The ANSI dialog's answer, brought to UTF-8 by way of wide text.
    const OPENFILENAMEA& narrow = pickers.narrow;
    const int length = MultiByteToWideChar(CP_ACP, 0, narrow.lpstrFile, static_cast<int>(narrow.nMaxFile),
                                           nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length > 0)
      MultiByteToWideChar(CP_ACP, 0, narrow.lpstrFile, static_cast<int>(narrow.nMaxFile), &wide[0], length);
    const int offset = narrow.nFileOffset == 0 ? 0
                       : MultiByteToWideChar(CP_ACP, 0, narrow.lpstrFile, narrow.nFileOffset, nullptr, 0);
    answer = Utf8FromWide(wide.c_str(), static_cast<int>(wide.size()));
    fileOffset = offset == 0 ? 0 : Utf8FromWide(wide.c_str(), offset).size();
    return true;
  }
  // Held as UTF-8 from here on, so a name in any script survives.
  const OPENFILENAMEW& wide = pickers.wide;
  answer = Utf8FromWide(wide.lpstrFile, static_cast<int>(wide.nMaxFile));
  fileOffset = wide.nFileOffset == 0 ? 0 : Utf8FromWide(wide.lpstrFile, wide.nFileOffset).size();
  return true;
}

void ForgetLastChoice(SongPickers& pickers) {
  pickers.narrow.lpstrFile[0] = '\0';
  pickers.wide.lpstrFile[0] = L'\0';
  pickers.narrow.lpstrInitialDir = nullptr;
  pickers.wide.lpstrInitialDir = nullptr;
}
