// Test helper: plays the Display control panel's part for a preview. Makes a
// white window titled "Preview Host", writes its handle in decimal to the file
// named by the first argument, and once it has a visible child window (or
// after a minute without one) writes what child windows it has (class,
// rectangle in its client area, visible) to the file named third: Wine does
// not show a child window of another process on screen, so this is how a test
// sees the preview. The number of seconds given second after that report, it
// destroys its window, as the control panel does when it closes. Both files
// appear whole: each is written under another name first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* reportPath = nullptr;
UINT lifeAfterReportMs = 0;
DWORD startTicks = 0;
const UINT kWatchTimer = 2, kCloseTimer = 1;
const DWORD kLongestWaitMs = 60000;

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

BOOL CALLBACK FindVisibleChild(HWND child, LPARAM found) {
  if (!IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// Writes through `fill` into a file of another name, then renames it to `path`.
template <typename Fill>
bool WriteWhole(const char* path, Fill fill) {
  const std::string temporary = std::string(path) + ".part";
  FILE* out = std::fopen(temporary.c_str(), "w");
  if (out == nullptr) return false;
  fill(out);
  std::fclose(out);
  return MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING) != 0;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kWatchTimer) {
    bool found = false;
    EnumChildWindows(window, FindVisibleChild, reinterpret_cast<LPARAM>(&found));
    if (!found && GetTickCount() - startTicks < kLongestWaitMs) return 0;
    KillTimer(window, kWatchTimer);
    WriteWhole(reportPath, [window](FILE* out) {
      EnumChildWindows(window, ReportChild, reinterpret_cast<LPARAM>(out));
    });
    SetTimer(window, kCloseTimer, lifeAfterReportMs, nullptr);
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
  lifeAfterReportMs = static_cast<UINT>(std::atoi(__argv[2])) * 1000;
  startTicks = GetTickCount();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "ZvPreviewHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowA("ZvPreviewHost", "Preview Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                            320, 240, nullptr, nullptr, instance, nullptr);
  if (host == nullptr) return 1;
  const bool written = WriteWhole(__argv[1], [host](FILE* out) {
    std::fprintf(out, "%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host)));
  });
  if (!written) return 1;
  SetTimer(host, kWatchTimer, 100, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
