#include "host/saver_run_win32.h"

#include <mmsystem.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>

#include "bundle/program_bundles.h"
#include "foundation/logger.h"
#include "foundation/product.h"
#include "foundation/saver_settings.h"
#include "graphics/game_error_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "graphics/monitors_win32.h"
#include "host/host_state.h"
#include "host/saver_window_win32.h"
#include "host/sound_setup_win32.h"
#include "slideshow/caption_layout.h"
#include "slideshow/wallpaper_win32.h"

namespace {

const char kSoundErrorText[] =
    "An error was encountered while initializing the sound subsystem.\n\nPossible causes include:\n"
    "-A file may be corrupt and you need to re-install the screensaver\n"
    "-You may have a corrupt music file in your playlist, try clearing your playlist\n"
    "-Your hardware drivers may be out of date, try installing the latest drivers.\n\n"
    "If all else fails, try disabling music and contact support.";

// Between frames the loop yields, so the photograph loader and the music
// get their share of the processor.
const DWORD kLoopPauseMs = 5;

bool InSaverMode() { return runMode == RunMode_Saver; }

HWND MainWindow() { return static_cast<HWND>(ss->mainWindow); }

void ShowError(const char* text, const char* caption, HWND owner) {
  MessageBoxA(owner, text, caption, MB_OK);
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

}  // namespace

SaverRun::SaverRun(HWND parent, int showCommand)
    : instance_(GetModuleHandleA(nullptr)), parent_(parent), showCommand_(showCommand) {}

SaverRun::~SaverRun() = default;

bool SaverRun::Preview() const { return runMode == RunMode_Preview; }

void SaverRun::RequestClose() { ::RequestClose(ss); }

bool SaverRun::PumpOneMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    quit_ = true;
    return true;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void SaverRun::Run() {
  if (!RegisterSaverClasses(instance_)) {
    ShowError("RegisterClass() failed:  Cannot register window class.", "Error", MainWindow());
    ZV_LOG_ERROR("RegisterClass() failed!");
    return;
  }
  if (Preview()) {
    PreparePreview();
  } else if (!SetDisplayMode()) {
    return;
  }
  CreateSaverWindow();
  if (surface_.window == nullptr) {
    ZV_LOG_ERROR("Call to CreateWindow() failed!");
    ss->WriteCriticalError(1);
    return;
  }
  if (InSaverMode()) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  surface_.dc = GetDC(surface_.window);

  if (!InitStates()) {
    ZV_LOG_ERROR("initStates() failed!");
    EarlyExit("Problem encountered in initStates().");
    return;
  }
  if (ss->FastMode) {
    ZV_LOG_INFO("Running in fast mode");
  } else if (!InitD3D()) {
    ZV_LOG_ERROR("initD3D() failed!");
    EarlyExit("Problem encountered in initD3D().");
    return;
  }
  StartMusic();
  ShowWindows();
  MainLoop();
  Teardown();
}

// The preview is small and shares the host's window: pictures only.
void SaverRun::PreparePreview() {
  ss->PlayMusic = 0;
  ss->SetAsWallpaper = 0;
  ss->ShowCaptions = 0;
  ss->FastMode = 1;
  RECT r = {};
  GetWindowRect(parent_, &r);
  surface_.width = r.right - r.left;
  surface_.height = r.bottom - r.top;
  surface_.requestedWidth = ss->DispModeWidth;
  surface_.requestedHeight = ss->DispModeHeight;
  surface_.requestedBits = ss->DispModeBits;
}

// The mode the settings ask for, or the desktop's own; a 24-bit desktop
// always changes, to 16 bits. False when the card refused the change.
bool SaverRun::SetDisplayMode() {
  int width = ss->DispModeWidth, height = ss->DispModeHeight, bits = ss->DispModeBits;
  std::ostringstream label;
  label << width << "x" << height << "x" << bits;
  DEVMODEA current = {};
  current.dmSize = sizeof(current);
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current);
  if (ss->DispModeWidth == 0) {
    width = static_cast<int>(current.dmPelsWidth);
    height = static_cast<int>(current.dmPelsHeight);
    bits = current.dmBitsPerPel == 24 ? 16 : static_cast<int>(current.dmBitsPerPel);
  }
  surface_.requestedWidth = width;
  surface_.requestedHeight = height;
  surface_.requestedBits = bits;
  LogDisplaySettings(current, label.str());
  surface_.desktopWidth = static_cast<int>(current.dmPelsWidth);
  surface_.desktopHeight = static_cast<int>(current.dmPelsHeight);

  const bool differs = static_cast<DWORD>(width) != current.dmPelsWidth ||
                       static_cast<DWORD>(height) != current.dmPelsHeight ||
                       static_cast<DWORD>(bits) != current.dmBitsPerPel;
  if (current.dmBitsPerPel == 24 || (ss->DispModeWidth > 0 && differs)) {
    surface_.displayModeChanged = true;
    ZV_LOG_INFO("Calling ChangeDisplaySettings()");
    DEVMODEA wanted = {};
    wanted.dmSize = sizeof(wanted);
    wanted.dmPelsWidth = static_cast<DWORD>(width);
    wanted.dmPelsHeight = static_cast<DWORD>(height);
    wanted.dmBitsPerPel = static_cast<DWORD>(bits);
    wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (ChangeDisplaySettingsA(&wanted, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      ShowError("The Requested Display Mode Is Not Supported By\nYour Video Card.", "Error", MainWindow());
      ZV_LOG_ERROR("Call to ChangeDisplaySettings() failed.");
      return false;
    }
  }
  surface_.width = GetSystemMetrics(SM_CXSCREEN);
  surface_.height = GetSystemMetrics(SM_CYSCREEN);
  return true;
}

void SaverRun::CreateSaverWindow() {
  if (Preview()) {
    ZV_LOG_INFO("Creating preview window via CreateWindow()");
    surface_.window = CreateWindowA(kSaverClass, kProductName, WS_CHILD | WS_VISIBLE, 0, 0, surface_.width,
                                    surface_.height, parent_, nullptr, instance_, nullptr);
    return;
  }
  ZV_LOG_INFO("Calling CreateWindow()");
  surface_.window = CreateWindowExA(WS_EX_TOPMOST, kSaverClass, kProductName, WS_POPUP | WS_VISIBLE, 0, 0,
                                    surface_.width, surface_.height, nullptr, nullptr, instance_, nullptr);
  if (ss->BlankAllScreens && surface_.window != nullptr) CreateBlankingWindows();
}

void SaverRun::CreateBlankingWindows() {
  MonitorTable& monitors = surface_.monitors;
  EnumerateMonitors(monitors);
  CreateChildWindows(monitors, surface_.window, instance_, kChildClass, kChildTitle);
  ZV_LOG_INFO("Num Monitors: " << monitors.count);
  AdjustChildWindows(monitors);
  ZV_LOG_INFO("AdjustChildWindows() successful");
}

// The bundle, the graphics layer unless in fast mode, the slideshow, and
// fast mode's first picture.
bool SaverRun::InitStates() {
  ZV_LOG_FUNCTION("initStates");
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  if (!theImageBundle.Open(bundlePath)) {
    failureText_ = "Could not open slide bundle!";
    ZV_LOG_ERROR("Could not open the image bundle!");
    return false;
  }
  SlideshowSetup setup;
  setup.textureBits = surface_.requestedBits;
  if (!ss->FastMode) {
    device_ = CreateGraphicsDevice(surface_, Preview());
    if (device_ == nullptr) return false;
    setup.tileLimit = device_->tileLimit;
    setup.textureBits = surface_.requestedBits = device_->textureBits;
  }
  setup.width = surface_.width;
  setup.height = surface_.height;
  setup.captionQuality = CaptionFontQuality(osVersion);
  setup.bundlePath = bundlePath;
  slideshow_ = std::make_unique<SlideshowInstance>();
  slideshow_->Configure(setup);
  if (ss->FastMode) {
    fast_ = std::make_unique<FastMode>(surface_, *slideshow_, *this, frameClock_, setup.captionQuality);
    drawer_ = fast_.get();
    fast_->Setup();
  }
  return true;
}

bool SaverRun::InitD3D() {
  const bool fade = ss->Animate && !surface_.displayModeChanged;
  if (!PrepareDirect3D(*device_, surface_.width, surface_.height, fade)) return false;
  // The dialogs' skin is not needed while the saver runs.
  theSkinBundle.Close();
  direct3d_ = std::make_unique<Direct3DFrame>(*device_, *slideshow_, surface_, frameStats_, *this);
  drawer_ = direct3d_.get();
  return true;
}

void SaverRun::StartMusic() {
  if (ss->PlayMusic && !initSound()) {
    ss->WriteCriticalError(1);
    MessageBoxA(parent_, kSoundErrorText, "Error initializing sound", MB_OK | MB_ICONERROR);
  }
}

void SaverRun::ShowWindows() {
  ZV_LOG_INFO("Showing window via ShowWindow()");
  ShowChildWindows(surface_.monitors, showCommand_);
  ShowWindow(surface_.window, showCommand_);
  if (fast_ != nullptr) fast_->PlayEffect(0, 0);
  AnchorCursor();
  ss->mouseArmed = true;
  frameClock_.Init();
  ss->WriteCrashFlag(0);
}

void SaverRun::MainLoop() {
  ZV_LOG_INFO("Entering main loop...");
  // The loop's pause and the pause before each present are a few
  // milliseconds; at the default timer tick they would be 15.6.
  const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  while (!quit_) {
    if (PumpOneMessage()) continue;
    try {
      Frame();
    } catch (const cGameError& error) {
      ZV_LOG_ERROR(error.GetText());
      quit_ = true;
      ss->WriteCriticalError(2);
      break;
    }
    Sleep(kLoopPauseMs);
  }
  if (fineTimer) timeEndPeriod(1);
}

void SaverRun::Frame() {
  const float t = static_cast<float>(frameClock_.DeltaMs());
  frameStats_.AddFrameTime(t);
  drawer_->AdjustToFrameRate();
  frameStats_.SampleWindow();
  const int32_t changes = drawer_->PhotographChanges();
  drawer_->Draw(t);
  frameTimes_.Add(t);
  if (drawer_->PhotographChanges() != changes) frameTimes_.MarkChange();
  LogStartedTrack();
}

void SaverRun::RestoreDisplay(const char* changingBack, const char* call) {
  if (!surface_.displayModeChanged) return;
  ZV_LOG_INFO(changingBack);
  ZV_LOG_INFO(call);
  ChangeDisplaySettingsA(nullptr, 0);
}

// Set-up failed after the windows existed: undo what was done and say so.
// The graphics layer (maybe an exclusive one, half built) and our windows go
// first, so that no black full-screen window hides the message.
void SaverRun::EarlyExit(const char* text) {
  ss->WriteCriticalError(1);
  ReleaseDC(surface_.window, surface_.dc);
  surface_.dc = nullptr;
  ReleaseGraphics();
  DestroyOwnWindows();
  UnregisterSaverClasses(instance_);
  RestoreDisplay("Changing back to original display settings...", "Calling ChangeDisplaySettings()");
  if (InSaverMode()) {
    ZV_LOG_INFO("Calling SystemParametersInfo()");
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  if (failureText_ != nullptr) ShowError(failureText_, "ERROR", nullptr);
  ShowError(text, "ERROR", nullptr);
}

// Ours only: in preview the parent window is the host program's.
void SaverRun::DestroyOwnWindows() {
  DestroyChildWindows(surface_.monitors);
  if (surface_.window != nullptr && IsWindow(surface_.window)) DestroyWindow(surface_.window);
  surface_.window = nullptr;
  // The saver window's end posts WM_QUIT, which would close the next
  // message box at once.
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

// Drawers first, then the slideshow (a fast-mode load still reads its
// bundle, so that ends first), then the device.
void SaverRun::ReleaseGraphics() {
  drawer_ = nullptr;
  direct3d_.reset();
  if (fast_ != nullptr) fast_->StopLoading();
  slideshow_.reset();
  fast_.reset();
  device_.reset();
}

void SaverRun::CleanUp() {
  ZV_LOG_FUNCTION("CleanUp()");
  if (ss->SetAsWallpaper)
    LeaveWallpaper(*slideshow_, drawer_ != nullptr ? drawer_->PhotoOnScreen() : -1, wallpaperPath,
                   surface_.desktopWidth, surface_.desktopHeight);
  // The log keeps its lines for each part, as it always has.
  ZV_LOG_INFO("Deleting slideshow object");
  ZV_LOG_INFO("Deleting fast mode device contexts");
  ZV_LOG_INFO("Setting current texture to NULL");
  ZV_LOG_INFO("Deleting graphics object");
  ReleaseGraphics();
  ZV_LOG_INFO("Deleting slide bundles");
  theImageBundle.Close();
  ZV_LOG_INFO("Deleting dimension list");
  ZV_LOG_INFO("Successfully exiting CleanUp()");
}

// For the benchmarks: how long frames, effects and captions took in this run.
void SaverRun::LogWorkTimes() {
  const float longest = direct3d_ != nullptr ? direct3d_->LongestShowingFrameMs() : 0.0f;
  ZV_LOG_INFO("Longest frame while showing photographs: " << longest << " ms");
  if (fast_ != nullptr && fast_->EffectStats().count > 0) {
    const DurationStats& effects = fast_->EffectStats();
    ZV_LOG_INFO("Fast-mode effects: " << effects.count << ", average " << effects.AverageMs() << " ms, longest "
                                      << effects.longestMs << " ms");
  }
  if (theGraphicsLayer != nullptr && theGraphicsLayer->Pacer().Presents() > 0) {
    ZV_LOG_INFO("Presents: " << theGraphicsLayer->Pacer().Presents() << ", average pause before one "
                             << theGraphicsLayer->Pacer().AveragePauseMs() << " ms");
  }
  if (slideshow_ != nullptr && slideshow_->Tiles().TexturesMade() > 0) {
    ZV_LOG_INFO("Tile textures: " << slideshow_->Tiles().TexturesMade() << " made, "
                                  << slideshow_->Tiles().TexturesReused() << " reused");
  }
  if (slideshow_ != nullptr && slideshow_->Captions().RenderingStats().count > 0) {
    const DurationStats& c = slideshow_->Captions().RenderingStats();
    ZV_LOG_INFO("Captions rendered: " << c.count << ", average " << c.AverageMs() << " ms each");
  }
}

void SaverRun::Teardown() {
  ZV_LOG_INFO("Exited main loop.");
  ZV_LOG_INFO(frameTimes_.Summary());
  ZV_LOG_INFO(frameTimes_.ChangeSummary());
  LogWorkTimes();
  if (!Preview()) ss->WriteCrashFlag(1);
  ZV_LOG_INFO("ReleaseDC(hScrWindow,hDC)");
  ReleaseDC(surface_.window, surface_.dc);
  surface_.dc = nullptr;
  RestoreDisplay("Changing back display settings", "ChangeDisplaySettings(NULL,0)");
  if (InSaverMode()) {
    ZV_LOG_INFO("SystemParametersInfo()");
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  ZV_LOG_INFO("Hiding child windows, if any");
  // Only our own windows: in preview the parent belongs to the host program.
  ShowChildWindows(surface_.monitors, SW_HIDE);
  ShutdownSound();
  CleanUp();
  try {
    ZV_LOG_INFO("DestroyWindow(hparwnd)");
    DestroyOwnWindows();
  } catch (...) {
    ZV_LOG(kLogError, "Exception caught on DestroyWindow()");
  }
  ss->WriteCrashFlag(0);
  try {
    ZV_LOG_INFO("UnregisterClass()");
    UnregisterSaverClasses(instance_);
  } catch (...) {
    ZV_LOG(kLogError, "Exception caught on UnregisterClass()");
  }
}

float DoSaver(HWND parent, int showCommand) {
  ZV_LOG_FUNCTION("DoSaver()");
  SaverRun run(parent, showCommand);
  run.Run();
  return run.AverageFps();
}
