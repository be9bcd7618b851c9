#include "audio/sound_setup_win32.h"

#include "foundation/logger.h"

bool initSound() {
  ZV_LOG_FUNCTION("initSound()");
  return true;
}

void ShutdownSound() { ZV_LOG_FUNCTION("ShutdownSound()"); }

void MusicNextTrack() {}
void MusicPreviousTrack() {}
void MusicPlayCurrent() {}
void MusicTogglePause() {}
