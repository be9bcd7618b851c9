// The music sequencer: one track list, two engines. Entries whose
// extension DirectShow takes (".wma", ".mp3", ".asf") play through the media
// stream; every other file and every built-in "?" track plays through our
// streaming engine, the built-in ones straight from memory.
//
// Two threads drive it: the main thread calls the operations (arrow keys),
// and the end of a track arrives as a window message on that thread (media
// stream) or on the streaming engine's thread, which then runs Next itself.
// One lock serialises them all, and an end that reports a stream other than
// the one playing (a key moved on first) is ignored, so exactly one stream
// plays and the player knows it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "audio/music_engines.h"
#include "audio/playlist.h"
#include "foundation/thread.h"

// Result codes of the operations.
const int kMusicOk = 0;
const int kMusicNothingPlayable = 1;  // Play / Next: no entry could start
const int kMusicEngineFailed = 2;     // Initialize, resume, Pause, Stop
const int kMusicPastTheEnd = 3;       // Play with current beyond the list

// Turns a "?" entry into the bytes of a built-in track; 0 on success.
typedef int (*TrackResolver)(const char* entry, const uint8_t** data, uint32_t* length);

// The longest entry a track may have (the path buffer holds 1024 bytes).
const size_t kMusicPathLimit = 1023;

class MusicPlayer {
 public:
  MusicPlayer() = default;
  virtual ~MusicPlayer() = default;
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // The engines the operations drive; set before Initialize.
  void SetEngines(StreamLibrary* library, MediaStreamPlayer* media);

  int Initialize(int volume);
  int LoadPlaylistFile(const char* path);
  int AddTrack(const char* entry);
  void SetTrackResolver(TrackResolver resolver) { trackResolver = resolver; }
  void Shuffle(unsigned seed, int passes);
  int TrackCount() const;

  int Play();
  int Next();
  int Previous();
  int Pause();
  int Stop();
  void Close();
  // The entry of the track that started since the last call, if one did:
  // for the main thread's log, which no other thread may write.
  bool TakeStartedTrack(std::string* entry);

  int volume = 255;
  SoundStreamHandle stream = 0;
  int channel = 0;
  int streamSerial = -1;
  bool usingLibrary = false;
  bool paused = false;
  bool stopped = true;
  int current = 0;
  bool forward = true;
  TrackResolver trackResolver = nullptr;
  Playlist tracks;

 private:
  // Opens the first playable entry from current on in the direction of
  // `forward`, leaving current on it; kMusicNothingPlayable when none.
  int OpenEntry();
  // One attempt at the entry at current; true when it is open.
  bool OpenCurrent();
  void StepCurrent();
  void ResetFields();

  static void LibraryTrackEnded(SoundStreamHandle stream, void* data);
  static void MediaTrackEnded(int serial, void* data);
  // The end of the stream the player is playing moves on; any other is stale.
  void LibraryStreamEnded(SoundStreamHandle ended);
  void MediaStreamEnded(int serial);
  void MoveOnFromEndedTrack(bool failed);

  StreamLibrary* library = nullptr;
  MediaStreamPlayer* media = nullptr;
  // Tracks that opened but would not start, one after the other: after a
  // whole pass of them Play gives up rather than going round for ever.
  int failedStarts = 0;
  // Tracks that failed midway one after the other: after a whole pass of
  // them the music gives up and stays silent rather than going round.
  int failedInARow = 0;
  // Tracks started (resuming is no start), and how many of them were taken.
  int startedTracks_ = 0;
  int takenTracks_ = 0;

  mutable cMonitor lock_;
  // Set while Close waits for the engine's thread, whose end callback may
  // be waiting for the lock: it then does nothing.
  std::atomic<bool> closing_{false};
};

// True when the entry's extension is one DirectShow plays (case ignored).
bool IsMediaStreamEntry(const char* entry);

// The one process-wide sequencer.
extern MusicPlayer theMusicPlayer;
