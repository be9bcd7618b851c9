// Test helper: writes the lines of a list box in another program's window
// to a file in UTF-8, then "#selected=N" for the selected line (-1: none).
// Arguments: output file, window title, control id.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "utf8_text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 4) return 2;
  HWND window = FindWindowA(nullptr, __argv[2]);
  HWND list = window != nullptr ? GetDlgItem(window, std::atoi(__argv[3])) : nullptr;
  if (list == nullptr) return 1;
  FILE* out = std::fopen(__argv[1], "wb");
  if (out == nullptr) return 1;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Wide: across processes Wine hands the text over as the list box keeps it.
    wchar_t text[256] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 256)
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    WriteUtf8(out, text);
    std::fputc('\n', out);
  }
  std::fprintf(out, "#selected=%d\n", static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
  std::fclose(out);
  return 0;
}
