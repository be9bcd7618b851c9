#include "slideshow/frame_drawer.h"

#include "foundation/logger.h"
#include "foundation/saver_settings.h"

void GiveUpForWantOfImages(RunControl& run, bool critical) {
  ZV_LOG_ERROR("Couldn't find any good images, quitting...");
  if (critical) ss->WriteCriticalError(1);
  run.RequestClose();
}
