#include "audio/music_setup.h"

#include "bundle/bundle.h"
#include "foundation/logger.h"
#include "foundation/saver_settings.h"

const char* const kMusicCategory = "music";

namespace {

// The bundle the resolver reads; the resolver is a plain function.
VFBUNDLE* trackBundle = nullptr;

const int kShufflePasses = 50;

void AddBuiltInTracks(MusicPlayer& player, VFBUNDLE& bundle) {
  VFFILECAT* category = bundle.FindCategory(kMusicCategory);
  if (category == nullptr) return;
  for (bool more = category->files.First(); more; more = category->files.Next())
    player.AddTrack(("?" + category->files.Current()->name).c_str());
}

}  // namespace

int ResolveBuiltInTrack(const char* entry, const uint8_t** data, uint32_t* length) {
  if (trackBundle == nullptr || entry == nullptr || entry[0] != '?') return 2;
  const char* name = entry + 1;
  if (trackBundle->FindCategory(kMusicCategory) == nullptr) return 2;
  const uint8_t* bytes = trackBundle->LoadFile(kMusicCategory, name);
  const uint32_t size = trackBundle->GetFileSize(kMusicCategory, name);
  if (bytes == nullptr || size == 0) return 2;
  *data = bytes;
  *length = size;
  return 0;
}

bool StartMusic(MusicPlayer& player, SaverSettings& settings, const std::string& playlistPath,
                VFBUNDLE& bundle, unsigned shuffleSeed) {
  ZV_LOG_FUNCTION("initSound()");
  if (!settings.PlayMusic) return true;
  try {
    if (player.Initialize(settings.MusicVol) != kMusicOk) {
      settings.PlayMusic = 0;
      return false;
    }
    if (settings.CustomMusic) player.LoadPlaylistFile(playlistPath.c_str());
    if (settings.DefaultMusic) {
      trackBundle = &bundle;
      player.SetTrackResolver(ResolveBuiltInTrack);
      AddBuiltInTracks(player, bundle);
    }
    if (player.TrackCount() == 0) {
      settings.PlayMusic = 0;
      player.Close();
    } else {
      if (settings.ShuffleMusic) player.Shuffle(shuffleSeed, kShufflePasses);
      player.Play();
    }
  } catch (...) {
    ZV_LOG(kLogCritical, "Exception caught in initSound()!");
    settings.PlayMusic = 0;
    settings.WriteCriticalError(1);
  }
  ZV_LOG_INFO("Successfully exiting initSound()");
  return true;
}

void StopMusic(MusicPlayer& player, SaverSettings& settings) {
  ZV_LOG_FUNCTION("ShutdownSound()");
  settings.PlayMusic = 0;
  player.Close();
  ZV_LOG_INFO("Successfully exiting ShutdownSound()");
}
