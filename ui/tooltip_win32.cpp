#include "ui/tooltip_win32.h"

#include <commctrl.h>

#include <cstddef>

namespace {

// The tool record up to its lParam: 44 bytes in a 32-bit program, 64 here.
// The whole TOOLINFOA also holds lpReserved, which comctl32 before
// version 6 refuses, so the tool would silently not be added.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);

}  // namespace

HWND AddTooltip(HWND control, const char* text, int maxWidth, DWORD extraStyle, UINT extraFlags,
                WPARAM titleIcon, const char* title, int autoPopDelay) {
  INITCOMMONCONTROLSEX init = {};
  init.dwSize = sizeof init;
  init.dwICC = 0xFF;
  InitCommonControlsEx(&init);

  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control, GWLP_HINSTANCE));
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 extraStyle | WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, instance,
                                 nullptr);
  if (tooltip == nullptr) return nullptr;
  SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);

  TOOLINFOA tool = {};
  tool.cbSize = kToolInfoSize;
  tool.uFlags = extraFlags | TTF_SUBCLASS;
  tool.hwnd = control;
  tool.uId = 0;
  GetClientRect(control, &tool.rect);
  tool.hinst = instance;
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));

  SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  if (title != nullptr) SendMessageA(tooltip, TTM_SETTITLEA, titleIcon, reinterpret_cast<LPARAM>(title));
  if (autoPopDelay != -1) SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(autoPopDelay, 0));
  return tooltip;
}
