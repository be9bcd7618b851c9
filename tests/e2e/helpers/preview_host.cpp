// Test helper: plays the Display control panel's part for a preview. Makes a
// white window titled "Preview Host", writes its handle in decimal to the file
// named by the first argument, and destroys the window after the number of
// seconds given second, as the control panel does when it closes. Halfway
// there it writes what child windows it has (class, rectangle in its client
// area, visible) to the file named third: Wine does not show a child window
// of another process on screen, so this is how a test sees the preview.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* reportPath = nullptr;

BOOL CALLBACK ReportChild(HWND child, LPARAM lParam) {
  FILE* out = reinterpret_cast<FILE*>(lParam);
  char name[128] = {};
  GetClassNameA(child, name, sizeof(name));
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  std::fprintf(out, "%s %ld %ld %ld %ld %d\n", name, r.left, r.top, r.right, r.bottom,
               IsWindowVisible(child) ? 1 : 0);
  return TRUE;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == 2) {
    KillTimer(window, 2);
    FILE* out = std::fopen(reportPath, "w");
    if (out != nullptr) {
      EnumChildWindows(window, ReportChild, reinterpret_cast<LPARAM>(out));
      std::fclose(out);
    }
    return 0;
  }
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
  if (__argc < 4) return 2;
  reportPath = __argv[3];
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
  const UINT ms = static_cast<UINT>(std::atoi(__argv[2])) * 1000;
  SetTimer(host, 1, ms, nullptr);
  SetTimer(host, 2, ms / 2, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
