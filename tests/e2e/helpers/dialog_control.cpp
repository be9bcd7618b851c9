// Test helper: tells where a control of another program's dialog is and
// what it shows, so a test can click it like a user and check it.
// Arguments: output file, window title ("dialog:" before it: only a dialog
// box of that title, not another window named alike), control id, then one of
//   rect        the control's screen rectangle: "left top right bottom"
//   item N      list box entry N's screen rectangle, the same way
//   text        the control's text
//   state       "enabled=E checked=C visible=V" (C: the button's check state)
//   selection   a combo box's selected entry's text, "#none" without one
//   selected    a list box's selected entries' indices, "-" for none
//   entries     a combo box's entries, one a line
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "utf8_text.h"

namespace {

void WriteRect(FILE* out, HWND control, RECT rect) {
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  std::fprintf(out, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 5) return 2;
  const char* title = __argv[2];
  const bool dialogOnly = std::strncmp(title, "dialog:", 7) == 0;
  HWND window = dialogOnly ? FindWindowA("#32770", title + 7) : FindWindowA(nullptr, title);
  HWND control = window != nullptr ? GetDlgItem(window, std::atoi(__argv[3])) : nullptr;
  if (control == nullptr) return 1;
  FILE* out = std::fopen(__argv[1], "wb");
  if (out == nullptr) return 1;
  const char* what = __argv[4];
  // Wide texts: across processes Wine hands them over as the control keeps them.
  wchar_t text[512] = {};
  if (std::strcmp(what, "rect") == 0) {
    RECT rect;
    GetClientRect(control, &rect);
    WriteRect(out, control, rect);
  } else if (std::strcmp(what, "item") == 0 && __argc > 5) {
    RECT rect = {};
    SendMessageA(control, LB_GETITEMRECT, std::atoi(__argv[5]), reinterpret_cast<LPARAM>(&rect));
    WriteRect(out, control, rect);
  } else if (std::strcmp(what, "text") == 0) {
    // GetWindowText would give an edit box's caption, not its text, across processes.
    SendMessageW(control, WM_GETTEXT, 511, reinterpret_cast<LPARAM>(text));
    WriteUtf8(out, text);
  } else if (std::strcmp(what, "state") == 0) {
    std::fprintf(out, "enabled=%d checked=%d visible=%d\n", IsWindowEnabled(control) ? 1 : 0,
                 static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)), IsWindowVisible(control) ? 1 : 0);
  } else if (std::strcmp(what, "selection") == 0) {
    const LRESULT at = SendMessageA(control, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR || SendMessageW(control, CB_GETLBTEXTLEN, at, 0) >= 511)
      std::fprintf(out, "#none");
    else {
      SendMessageW(control, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text));
      WriteUtf8(out, text);
    }
  } else if (std::strcmp(what, "entries") == 0) {
    const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      text[0] = L'\0';
      if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < 511)
        SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      WriteUtf8(out, text);
      std::fputc('\n', out);
    }
  } else if (std::strcmp(what, "selected") == 0) {
    int indices[256];
    const LRESULT count = SendMessageA(control, LB_GETSELITEMS, 256, reinterpret_cast<LPARAM>(indices));
    if (count <= 0) std::fprintf(out, "-");
    for (LRESULT i = 0; i < count; ++i) std::fprintf(out, "%s%d", i == 0 ? "" : " ", indices[i]);
  } else {
    std::fclose(out);
    return 2;
  }
  std::fclose(out);
  return 0;
}
