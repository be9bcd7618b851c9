#include "host/saver_window_win32.h"

#include <cstdlib>

#include "foundation/logger.h"
#include "host/host_state.h"
#include "host/sound_setup_win32.h"

const char kSaverClass[] = "ZelvoraPelkSaver";
const char kChildClass[] = "ZelvoraChildClass";
const char kChildTitle[] = "Orbex Multimonitor window";

namespace {

bool InSaverMode() { return runMode == RunMode_Saver; }

void SetCursorRule() {
  if (InSaverMode() && !ss->inPasswordCheck)
    SetCursor(nullptr);
  else
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void InputRule(WPARAM code) {
  switch (code) {
    case VK_RIGHT:
      if (ss->PlayMusic) MusicNextTrack();
      return;
    case VK_LEFT:
      if (ss->PlayMusic) MusicPreviousTrack();
      return;
    case VK_UP:
      if (ss->PlayMusic) MusicPlayCurrent();
      return;
    case VK_DOWN:
      if (ss->PlayMusic) MusicTogglePause();
      return;
    default:
      break;
  }
  if (InSaverMode() && !ss->inPasswordCheck) {
    ZV_LOG_INFO("Key pressed -- Quitting screensaver");
    RequestClose(ss);
  }
}

void MouseRule() {
  if (!InSaverMode() || ss->inPasswordCheck || !ss->mouseArmed) return;
  POINT p;
  GetCursorPos(&p);
  if (std::abs(p.x - ss->cursorAnchor.x) > ss->MouseThreshold ||
      std::abs(p.y - ss->cursorAnchor.y) > ss->MouseThreshold) {
    ZV_LOG_INFO("Mouse moved -- Quitting screensaver");
    RequestClose(ss);
  }
}

LRESULT CloseRule(HWND window) {
  if (!ss->closeRequested || ss->inPasswordCheck) return 0;
  ZV_LOG_INFO("WM_CLOSE: Checking PasswordDelay");
  bool canClose = true;
  if (GetTickCount() - ss->InitTime > 1000u * static_cast<DWORD>(ss->PasswordDelay)) {
    ZV_LOG_INFO("WM_CLOSE: GetTickCount() - ss->InitTime > 1000*ss->PasswordDelay");
    ss->inPasswordCheck = true;
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    canClose = VerifySaverPassword(window);
    ss->inPasswordCheck = false;
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    AnchorCursor();
  }
  if (canClose) {
    ZV_LOG_INFO("WM_CLOSE: CanClose == true, Calling DestroyWindow()");
    DestroyWindow(window);
  }
  return 0;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      ss->mainWindow = window;
      AnchorCursor();
      ss->InitTime = GetTickCount();
      return 0;
    case WM_DESTROY:
      ZV_LOG_INFO("PostQuitMessage(0)");
      PostQuitMessage(0);
      break;
    case WM_SHOWWINDOW:
      if (window != static_cast<HWND>(parentWindow)) InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_SETCURSOR:
      SetCursorRule();
      break;
    case WM_SYSCOMMAND:
      if (InSaverMode()) {
        switch (wParam & 0xFFF0) {
          case SC_NEXTWINDOW:
          case SC_PREVWINDOW:
          case SC_CLOSE:
          case SC_SCREENSAVE:
            return 0;
          default:
            break;
        }
      }
      break;
    case WM_CLOSE:
      if (InSaverMode()) return CloseRule(window);
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      InputRule(wParam);
      break;
    case WM_MOUSEMOVE:
      MouseRule();
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK BlankingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPaint(window, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      SetCursorRule();
      break;
    case WM_KEYDOWN:
      InputRule(wParam);
      break;
    case WM_MOUSEMOVE:
      MouseRule();
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClassOf(HINSTANCE instance, const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

}  // namespace

void AnchorCursor() {
  POINT p;
  GetCursorPos(&p);
  ss->cursorAnchor.x = p.x;
  ss->cursorAnchor.y = p.y;
}

bool RegisterSaverClasses(HINSTANCE instance) {
  if (!RegisterClassOf(instance, kSaverClass, SaverWindowProc, nullptr)) return false;
  RegisterClassOf(instance, kChildClass, BlankingWindowProc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  return true;
}

void UnregisterSaverClasses(HINSTANCE instance) {
  UnregisterClassA(kSaverClass, instance);
  UnregisterClassA(kChildClass, instance);
}

void RequestClose(SaverSettings* settings) {
  settings->closeRequested = true;
  PostMessageA(static_cast<HWND>(settings->mainWindow), WM_CLOSE, 0, 0);
}

bool VerifySaverPassword(HWND window) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // The NT platform guards the desktop itself.
  if (!GetVersionExA(&info) || info.dwPlatformId == VER_PLATFORM_WIN32_NT) return true;
#pragma GCC diagnostic pop
  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  if (library == nullptr) return true;
  typedef BOOL(WINAPI * VerifyFn)(HWND);
  VerifyFn verify = reinterpret_cast<VerifyFn>(reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
  const bool answer = verify == nullptr || verify(window) != FALSE;
  FreeLibrary(library);
  return answer;
}
