// Filling and starting the music for a saver run, and stopping it again.
// The engines are passed in, so the whole sequence runs natively against
// fakes; the program hands in our streaming engine and the media stream.
#pragma once

#include <string>

#include "audio/music_player.h"

class SaverSettings;
class VFBUNDLE;

// The built-in tracks are the files of this bundle category.
extern const char* const kMusicCategory;

// The user's own list first (CustomMusic), then every built-in track
// (DefaultMusic), shuffled when ShuffleMusic is set, then Play. False only
// when the streaming engine would not start; PlayMusic is then off in
// memory. An empty list turns PlayMusic off without complaint.
bool StartMusic(MusicPlayer& player, SaverSettings& settings, const std::string& playlistPath,
                VFBUNDLE& bundle, unsigned shuffleSeed);

void StopMusic(MusicPlayer& player, SaverSettings& settings);

// The track resolver StartMusic installs: "?name" looked up in the music
// category of the bundle StartMusic was given; 2 when it has no such file.
int ResolveBuiltInTrack(const char* entry, const uint8_t** data, uint32_t* length);
