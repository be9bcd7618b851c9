// Test helper: sends a window, found by its title, the message a system or
// another program would: "close" (WM_CLOSE) or "sysclose" (SC_CLOSE).
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  HWND window = FindWindowA(nullptr, __argv[1]);
  if (window == nullptr) return 1;
  if (std::strcmp(__argv[2], "close") == 0)
    PostMessageA(window, WM_CLOSE, 0, 0);
  else if (std::strcmp(__argv[2], "sysclose") == 0)
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  else
    return 2;
  return 0;
}
