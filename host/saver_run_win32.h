// One saver run and everything it made: the surface it draws on, the
// graphics device, the slideshow, and the frame drawer its loop calls.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "foundation/perf_timer.h"
#include "graphics/device_setup_win32.h"
#include "graphics/saver_surface_win32.h"
#include "slideshow/direct3d_frame_win32.h"
#include "slideshow/fast_mode_win32.h"
#include "slideshow/frame_drawer.h"
#include "slideshow/frame_stats.h"
#include "slideshow/slideshow_instance_win32.h"

class SaverRun : public RunControl {
 public:
  // `parent`: the preview host's window, otherwise none.
  SaverRun(HWND parent, int showCommand);
  ~SaverRun() override;
  SaverRun(const SaverRun&) = delete;
  SaverRun& operator=(const SaverRun&) = delete;

  // Set-up, the main loop and the teardown; a failed step says so and ends
  // the run there.
  void Run();
  float AverageFps() const { return frameStats_.averageFps; }

  void RequestClose() override;
  bool QuitRequested() const override { return quit_; }
  bool PumpOneMessage() override;

 private:
  bool Preview() const;
  bool SetDisplayMode();
  void PreparePreview();
  void CreateSaverWindow();
  void CreateBlankingWindows();
  bool InitStates();
  bool InitD3D();
  void StartMusic();
  void ShowWindows();
  void MainLoop();
  void Frame();
  void Teardown();
  void CleanUp();
  void ReleaseGraphics();
  void DestroyOwnWindows();
  void LogWorkTimes();
  void EarlyExit(const char* text);
  void RestoreDisplay(const char* changingBack, const char* call);

  HINSTANCE instance_;
  HWND parent_;
  int showCommand_;
  bool quit_ = false;
  // Why set-up failed, when a step knows better than its caller; shown by
  // EarlyExit once the windows are gone.
  const char* failureText_ = nullptr;
  SaverSurface surface_;
  FrameTimer frameClock_;
  FrameStatistics frameStats_;
  FrameTimes frameTimes_;
  // Declared in the order they are made, so that whatever a failed set-up
  // left behind goes in reverse: drawers, slideshow, then the device.
  std::unique_ptr<GraphicsDevice> device_;
  std::unique_ptr<SlideshowInstance> slideshow_;
  std::unique_ptr<Direct3DFrame> direct3d_;
  std::unique_ptr<FastMode> fast_;
  FrameDrawer* drawer_ = nullptr;  // one of the two above
};

// Runs the saver until it ends; returns the run's average frame rate.
float DoSaver(HWND parent, int showCommand);
