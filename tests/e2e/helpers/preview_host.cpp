// Test helper: plays the Display control panel's part for a preview. Makes a
// white window titled "Preview Host", writes its handle in decimal to the file
// named by the first argument, and destroys the window after the number of
// seconds given second, as the control panel does when it closes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "ZvPreviewHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowA("ZvPreviewHost", "Preview Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                            320, 240, nullptr, nullptr, instance, nullptr);
  if (host == nullptr) return 1;
  FILE* out = std::fopen(__argv[1], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host)));
  std::fclose(out);
  SetTimer(host, 1, static_cast<UINT>(std::atoi(__argv[2])) * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
