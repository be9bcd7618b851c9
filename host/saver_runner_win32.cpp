#include "host/saver_runner_win32.h"

#include <cstdlib>
#include <sstream>
#include <string>

#include "host/sound_setup_win32.h"
#include "foundation/logger.h"
#include "foundation/product.h"
#include "graphics/device_setup_win32.h"
#include "graphics/game_error_win32.h"
#include "bundle/program_bundles.h"
#include "host/host_state.h"
#include "slideshow/fast_mode_win32.h"
#include "slideshow/wallpaper_win32.h"
#include "slideshow/render_frame_win32.h"
#include "slideshow/slideshow_instance_win32.h"

HWND saverWindow = nullptr;
HDC saverDC = nullptr;
bool quitRequested = false;
bool displayModeChanged = false;
int desktopWidth = 0;
int desktopHeight = 0;
int requestedWidth = 0;
int requestedHeight = 0;
int requestedBits = 0;
MonitorTable monitorTable;

namespace {

const char kSaverClass[] = "ZelvoraPelkSaver";
const char kChildClass[] = "ZelvoraChildClass";
const char kChildTitle[] = "Orbex Multimonitor window";
const char kSoundErrorText[] =
    "An error was encountered while initializing the sound subsystem.\n\nPossible causes include:\n"
    "-A file may be corrupt and you need to re-install the screensaver\n"
    "-You may have a corrupt music file in your playlist, try clearing your playlist\n"
    "-Your hardware drivers may be out of date, try installing the latest drivers.\n\n"
    "If all else fails, try disabling music and contact support.";

bool InSaverMode() { return runMode == RunMode_Saver; }

HWND MainWindow() { return static_cast<HWND>(ss->mainWindow); }


bool RegisterSaverClass(HINSTANCE instance, const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

void UnregisterClasses(HINSTANCE instance) {
  UnregisterClassA(kSaverClass, instance);
  UnregisterClassA(kChildClass, instance);
}

void RestoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }

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

void AnchorCursor() {
  POINT p;
  GetCursorPos(&p);
  ss->cursorAnchor.x = p.x;
  ss->cursorAnchor.y = p.y;
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

void LogDisplaySettings(const DEVMODEA& current, const std::string& requestedLabel) {
  {
    ZV_LOG_BLOCK("currentMode settings:");
    ZV_LOG_INFO("DeviceName: " << reinterpret_cast<const char*>(current.dmDeviceName));
    ZV_LOG_INFO("Driver version: " << current.dmDriverVersion);
    ZV_LOG_INFO("BitsPerPel: " << current.dmBitsPerPel);
    ZV_LOG_INFO("Resolution: " << current.dmPelsWidth << "x" << current.dmPelsHeight);
    ZV_LOG_INFO("Freq: " << current.dmDisplayFrequency << "Hz");
  }
  ZV_LOG_INFO("Requested mode:" << (ss->DispModeWidth == 0 ? std::string("NO CHANGE") : requestedLabel));
  ZV_LOG_BLOCK("Screensaver settings:");
  ZV_LOG_INFO("Fast mode: " << ss->FastMode);
  ZV_LOG_INFO("Play Music: " << ss->PlayMusic);
  ZV_LOG_INFO("Custom Music: " << ss->CustomMusic);
  ZV_LOG_INFO("Default Music: " << ss->DefaultMusic);
  ZV_LOG_INFO("Shuffle playlist: " << ss->ShuffleMusic);
  ZV_LOG_INFO("Set as wallpaper: " << ss->SetAsWallpaper);
  ZV_LOG_INFO("Random images: " << ss->RandomOrder);
  ZV_LOG_INFO("Animate: " << ss->Animate);
  ZV_LOG_INFO("Crossfade: " << ss->Crossfade);
  ZV_LOG_INFO("Cram images: " << ss->CramImages);
  ZV_LOG_INFO("Image cram size: " << ss->CramSize);
  ZV_LOG_INFO("Mipmap: " << ss->MipMap);
}

// Set-up failed after the windows existed: undo what was done and say so.
void EarlyExit(HINSTANCE instance, HWND parent, const char* text) {
  ss->WriteCriticalError(1);
  ReleaseDC(saverWindow, saverDC);
  saverDC = nullptr;
  DestroyWindow(parent);
  DestroyChildWindows(monitorTable);
  UnregisterClasses(instance);
  if (displayModeChanged) {
    ZV_LOG_INFO("Changing back to original display settings...");
    ZV_LOG_INFO("Calling ChangeDisplaySettings()");
    RestoreDisplayMode();
  }
  if (InSaverMode()) {
    ZV_LOG_INFO("Calling SystemParametersInfo()");
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  ShowError(text, "ERROR", MainWindow());
}

void RunMainLoop() {
  while (!quitRequested) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quitRequested = true;
      } else {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      continue;
    }
    try {
      RenderFrame();
    } catch (const cGameError& error) {
      ZV_LOG_ERROR(error.GetText());
      quitRequested = true;
      ss->WriteCriticalError(2);
      break;
    }
    Sleep(5);
  }
}

void CleanUp() {
  ZV_LOG_FUNCTION("CleanUp()");
  if (ss->SetAsWallpaper) LeaveWallpaper();
  ZV_LOG_INFO("Deleting slideshow object");
  DestroySlideshow();
  ZV_LOG_INFO("Deleting fast mode device contexts");
  FastCleanUp();
  ZV_LOG_INFO("Setting current texture to NULL");
  ZV_LOG_INFO("Deleting graphics object");
  DestroyDevice();
  ZV_LOG_INFO("Deleting slide bundles");
  theImageBundle.Close();
  ZV_LOG_INFO("Deleting dimension list");
  ZV_LOG_INFO("Successfully exiting CleanUp()");
}

// For the benchmarks: how long effects and captions took in this run.
void LogWorkTimes() {
  const DurationStats& effects = FastEffectStats();
  if (effects.count > 0) {
    ZV_LOG_INFO("Fast-mode effects: " << effects.count << ", average " << effects.AverageMs()
                                      << " ms, longest " << effects.longestMs << " ms");
  }
  const CaptionSlots* captions = SlideshowCaptions();
  if (captions != nullptr && captions->RenderingStats().count > 0) {
    const DurationStats& c = captions->RenderingStats();
    ZV_LOG_INFO("Captions rendered: " << c.count << ", average " << c.AverageMs() << " ms each");
  }
}

void Teardown(HINSTANCE instance, HWND parent) {
  ZV_LOG_INFO("Exited main loop.");
  ZV_LOG_INFO("Longest frame while showing photographs: " << LongestShowingFrameMs() << " ms");
  LogWorkTimes();
  if (runMode != RunMode_Preview) ss->WriteCrashFlag(1);
  ZV_LOG_INFO("ReleaseDC(hScrWindow,hDC)");
  ReleaseDC(saverWindow, saverDC);
  saverDC = nullptr;
  if (displayModeChanged) {
    ZV_LOG_INFO("Changing back display settings");
    ZV_LOG_INFO("ChangeDisplaySettings(NULL,0)");
    RestoreDisplayMode();
  }
  if (InSaverMode()) {
    ZV_LOG_INFO("SystemParametersInfo()");
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  ZV_LOG_INFO("Hiding child windows, if any");
  // Only our own windows: in preview the parent belongs to the host program.
  ShowChildWindows(monitorTable, SW_HIDE);
  ShutdownSound();
  CleanUp();
  try {
    ZV_LOG_INFO("DestroyWindow(hparwnd)");
    DestroyWindow(parent);
    DestroyChildWindows(monitorTable);
  } catch (...) {
    ZV_LOG(kLogError, "Exception caught on DestroyWindow()");
  }
  ss->WriteCrashFlag(0);
  try {
    ZV_LOG_INFO("UnregisterClass()");
    UnregisterClasses(instance);
  } catch (...) {
    ZV_LOG(kLogError, "Exception caught on UnregisterClass()");
  }
}

}  // namespace

void ShowError(const char* text, const char* caption, HWND owner, UINT icon) {
  ss->inMessageBox = true;
  MessageBoxA(owner, text, caption, MB_OK | icon);
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

void PumpOneMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    quitRequested = true;
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
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

void DoSaver(HWND parent, int showCommand) {
  ZV_LOG_FUNCTION("DoSaver()");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  quitRequested = false;
  displayModeChanged = false;
  ZeroMemory(&monitorTable, sizeof(monitorTable));

  if (!RegisterSaverClass(instance, kSaverClass, SaverWindowProc, nullptr)) {
    ShowError("RegisterClass() failed:  Cannot register window class.", "Error", MainWindow());
    ZV_LOG_ERROR("RegisterClass() failed!");
    return;
  }

  requestedWidth = ss->DispModeWidth;
  requestedHeight = ss->DispModeHeight;
  requestedBits = ss->DispModeBits;
  std::ostringstream label;
  label << requestedWidth << "x" << requestedHeight << "x" << requestedBits;

  if (runMode == RunMode_Preview) {
    // The preview is small and shares the host's window: pictures only.
    ss->PlayMusic = 0;
    ss->SetAsWallpaper = 0;
    ss->ShowCaptions = 0;
    ss->FastMode = 1;
    RECT r = {};
    GetWindowRect(parent, &r);
    screenWidth = r.right - r.left;
    screenHeight = r.bottom - r.top;
    ZV_LOG_INFO("Creating preview window via CreateWindow()");
    saverWindow = CreateWindowA(kSaverClass, kProductName, WS_CHILD | WS_VISIBLE, 0, 0, screenWidth,
                                screenHeight, parent, nullptr, instance, nullptr);
  } else {
    DEVMODEA current = {};
    current.dmSize = sizeof(current);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current);
    if (ss->DispModeWidth == 0) {
      requestedWidth = static_cast<int>(current.dmPelsWidth);
      requestedHeight = static_cast<int>(current.dmPelsHeight);
      requestedBits = current.dmBitsPerPel == 24 ? 16 : static_cast<int>(current.dmBitsPerPel);
    }
    LogDisplaySettings(current, label.str());
    desktopWidth = static_cast<int>(current.dmPelsWidth);
    desktopHeight = static_cast<int>(current.dmPelsHeight);

    const bool differs = static_cast<DWORD>(requestedWidth) != current.dmPelsWidth ||
                         static_cast<DWORD>(requestedHeight) != current.dmPelsHeight ||
                         static_cast<DWORD>(requestedBits) != current.dmBitsPerPel;
    if (current.dmBitsPerPel == 24 || (ss->DispModeWidth > 0 && differs)) {
      displayModeChanged = true;
      ZV_LOG_INFO("Calling ChangeDisplaySettings()");
      DEVMODEA wanted = {};
      wanted.dmSize = sizeof(wanted);
      wanted.dmPelsWidth = static_cast<DWORD>(requestedWidth);
      wanted.dmPelsHeight = static_cast<DWORD>(requestedHeight);
      wanted.dmBitsPerPel = static_cast<DWORD>(requestedBits);
      wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
      if (ChangeDisplaySettingsA(&wanted, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        ShowError("The Requested Display Mode Is Not Supported By\nYour Video Card.", "Error", MainWindow());
        ZV_LOG_ERROR("Call to ChangeDisplaySettings() failed.");
        return;
      }
    }

    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ZV_LOG_INFO("Calling CreateWindow()");
    saverWindow = CreateWindowExA(WS_EX_TOPMOST, kSaverClass, kProductName, WS_POPUP | WS_VISIBLE, 0, 0,
                                  screenWidth, screenHeight, nullptr, nullptr, instance, nullptr);

    RegisterSaverClass(instance, kChildClass, BlankingWindowProc,
                       static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (ss->BlankAllScreens && saverWindow != nullptr) {
      EnumerateMonitors(monitorTable);
      CreateChildWindows(monitorTable, saverWindow, instance, kChildClass, kChildTitle);
      ZV_LOG_INFO("Num Monitors: " << monitorTable.count);
      AdjustChildWindows(monitorTable);
      ZV_LOG_INFO("AdjustChildWindows() successful");
    }
  }

  if (saverWindow == nullptr) {
    ZV_LOG_ERROR("Call to CreateWindow() failed!");
    ss->WriteCriticalError(1);
    return;
  }

  if (InSaverMode()) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  saverDC = GetDC(saverWindow);

  if (!initStates(screenWidth, screenHeight)) {
    ZV_LOG_ERROR("initStates() failed!");
    EarlyExit(instance, parent, "Problem encountered in initStates().");
    return;
  }
  if (ss->FastMode) {
    ZV_LOG_INFO("Running in fast mode");
  } else if (!initD3D(screenWidth, screenHeight)) {
    ZV_LOG_ERROR("initD3D() failed!");
    EarlyExit(instance, parent, "Problem encountered in initD3D().");
    return;
  }

  if (ss->PlayMusic && !initSound()) {
    ss->WriteCriticalError(1);
    MessageBoxA(parent, kSoundErrorText, "Error initializing sound", MB_OK | MB_ICONERROR);
  }

  ZV_LOG_INFO("Showing window via ShowWindow()");
  ShowChildWindows(monitorTable, showCommand);
  ShowWindow(saverWindow, showCommand);
  if (ss->FastMode) PlayEffect(0, 0);

  AnchorCursor();
  ss->mouseArmed = true;
  StartFrameTimer();
  ss->WriteCrashFlag(0);
  ZV_LOG_INFO("Entering main loop...");
  RunMainLoop();

  Teardown(instance, parent);
}
