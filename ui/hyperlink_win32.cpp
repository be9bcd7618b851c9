#include "ui/hyperlink_win32.h"

#include <shellapi.h>

#include "foundation/web_server.h"

namespace {

const char kOriginalProc[] = "_Hyperlink_Original_Proc_";
const char kOriginalFont[] = "_Hyperlink_Original_Font_";
const char kUnderlineFont[] = "_Hyperlink_Underline_Font_";
const char kFromStatic[] = "_Hyperlink_From_Static_";
const char kColour[] = "_Hyperlink_Color_";

WNDPROC OriginalProc(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProc)); }

LRESULT CallOriginal(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return previous != nullptr ? CallWindowProcA(previous, window, message, wParam, lParam) : 0;
}

void Restore(HWND window, WNDPROC previous) {
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RemovePropA(window, kOriginalProc);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = OriginalProc(window);
  switch (message) {
    case WM_DESTROY:
      Restore(window, previous);
      break;
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (GetPropA(control, kFromStatic) == nullptr) break;
      const LRESULT brush = previous != nullptr ? CallWindowProcA(previous, window, message, wParam, lParam)
                                                : static_cast<LRESULT>(wParam);
      SetTextColor(reinterpret_cast<HDC>(wParam),
                   static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropA(control, kColour))));
      return brush;
    }
    default:
      break;
  }
  return CallOriginal(previous, window, message, wParam, lParam);
}

void SetLinkFont(HWND window, const char* property) {
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropA(window, property)), FALSE);
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = OriginalProc(window);
  switch (message) {
    case WM_DESTROY: {
      Restore(window, previous);
      SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropA(window, kOriginalFont)), FALSE);
      RemovePropA(window, kOriginalFont);
      HGDIOBJ underline = GetPropA(window, kUnderlineFont);
      if (underline != nullptr) DeleteObject(underline);
      RemovePropA(window, kUnderlineFont);
      RemovePropA(window, kFromStatic);
      RemovePropA(window, kColour);
      break;
    }
    case WM_SETCURSOR: {
      HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
      SetCursor(hand != nullptr ? hand : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
      return 1;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() != window) {
        SetLinkFont(window, kUnderlineFont);
        SetCapture(window);
      } else {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(window, &point);
        RECT area;
        GetWindowRect(window, &area);
        if (!PtInRect(&area, point)) {
          SetLinkFont(window, kOriginalFont);
          ReleaseCapture();
        }
      }
      break;
    default:
      break;
  }
  return CallOriginal(previous, window, message, wParam, lParam);
}

}  // namespace

int MakeHyperlink(HWND staticWindow, COLORREF colour) {
  HWND parent = GetParent(staticWindow);
  if (parent != nullptr &&
      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) != ParentProc) {
    SetPropA(parent, kOriginalProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(parent, GWLP_WNDPROC)));
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc));
  }
  // Clicks reach the parent; an address's "&" is shown, not taken as a
  // mnemonic prefix.
  SetWindowLongPtrA(staticWindow, GWL_STYLE,
                    GetWindowLongPtrA(staticWindow, GWL_STYLE) | SS_NOTIFY | SS_NOPREFIX);
  SetPropA(staticWindow, kOriginalProc,
           reinterpret_cast<HANDLE>(GetWindowLongPtrA(staticWindow, GWLP_WNDPROC)));
  SetWindowLongPtrA(staticWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc));

  HFONT font = reinterpret_cast<HFONT>(SendMessageA(staticWindow, WM_GETFONT, 0, 0));
  SetPropA(staticWindow, kOriginalFont, font);
  LOGFONTA description = {};
  if (font == nullptr || GetObjectA(font, sizeof description, &description) == 0)
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
  description.lfUnderline = TRUE;
  SetPropA(staticWindow, kUnderlineFont, CreateFontIndirectA(&description));

  SetPropA(staticWindow, kFromStatic, reinterpret_cast<HANDLE>(1));
  SetPropA(staticWindow, kColour, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(colour)));
  return 1;
}

int MakeHyperlinkById(HWND dialog, int controlId, COLORREF colour) {
  return MakeHyperlink(GetDlgItem(dialog, controlId), colour);
}

bool OpenServerLink(const char* link) {
  if (link == nullptr || !IsWebAddress(link)) return false;
  ShellExecuteA(nullptr, nullptr, link, nullptr, nullptr, SW_SHOWMAXIMIZED);
  return true;
}
