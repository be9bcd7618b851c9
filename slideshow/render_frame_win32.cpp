#include "slideshow/render_frame_win32.h"

#include <windows.h>

#include "foundation/logger.h"
#include "foundation/perf_timer.h"
#include "foundation/saver_settings.h"
#include "graphics/graphics_layer_win32.h"
#include "host/host_state.h"
#include "host/saver_runner_win32.h"
#include "slideshow/frame_stats.h"

namespace {

FrameTimer frameTimer;

// Until the GDI slideshow exists, fast mode keeps its window black.
void FastModeFrame() {
  RECT r = {0, 0, screenWidth, screenHeight};
  FillRect(saverDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

void StartFrameTimer() { frameTimer.Init(); }

void RenderFrame() {
  frameStats.AddFrame(static_cast<float>(frameTimer.DeltaMs()));

  if (ss->FastMode) {
    FastModeFrame();
    return;
  }
  if (theGraphicsLayer == nullptr) return;
  if (theGraphicsLayer->IsInvalidated()) {
    ZV_LOG_INFO("Screensaver terminated due to graphics subsystem invalidation");
    RequestClose(ss);
    return;
  }
  theGraphicsLayer->Clear(true, false, 0x00000000, 1.0f);
  theGraphicsLayer->Flip(false);
}
