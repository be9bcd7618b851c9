#include "host/sound_setup_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <iomanip>
#include <string>

#include "audio/audio_stream_win32.h"
#include "audio/music_setup.h"
#include "audio/sound_engine.h"
#include "bundle/program_bundles.h"
#include "foundation/logger.h"
#include "foundation/perf_timer.h"
#include "foundation/saver_settings.h"
#include "host/host_state.h"

bool initSound() {
  theMusicPlayer.SetEngines(&TheSoundEngine(), AudioStream::Instance());
  return StartMusic(theMusicPlayer, *ss, playlistPath, theImageBundle, timeGetTime());
}

void ShutdownSound() {
  StopMusic(theMusicPlayer, *ss);
  // A graph still alive when the process ends makes it crash on the way out.
  AudioStream::Destroy();
}

void LogStartedTrack() {
  std::string entry;
  if (theLogger != nullptr && theMusicPlayer.TakeStartedTrack(&entry)) ZV_LOG_INFO("Playing music: " << entry);
}

namespace {

// An arrow key's track change runs on the main thread, between two frames:
// its cost shows in the log, whatever the size of the file it opens.
void ChangeTrack(int (MusicPlayer::*change)()) {
  CPerfTimer timer(true);
  (theMusicPlayer.*change)();
  timer.Stop();
  ZV_LOG_INFO("Track change took " << std::fixed << std::setprecision(1) << static_cast<double>(timer.Elapsed())
                                   << " ms");
}

}  // namespace

void MusicNextTrack() { ChangeTrack(&MusicPlayer::Next); }
void MusicPreviousTrack() { ChangeTrack(&MusicPlayer::Previous); }
void MusicPlayCurrent() { ChangeTrack(&MusicPlayer::Play); }

void MusicTogglePause() {
  if (theMusicPlayer.paused)
    theMusicPlayer.Play();
  else
    theMusicPlayer.Pause();
}
