#include "audio/music_player.h"

#include <cstring>
#include <string>

#include "foundation/text_search.h"

MusicPlayer theMusicPlayer;

namespace {

const int kBufferMilliseconds = 250;
const int kMixRate = 44100;
const int kSoftwareChannels = 1;
const unsigned kFileMode = kSoundNormal | kSound2D;
const unsigned kMemoryMode = kSoundNormal | kSound2D | kSoundLoadMemory;

bool IsBuiltIn(const char* entry) { return entry[0] == '?'; }

}  // namespace

bool IsMediaStreamEntry(const char* entry) {
  const char* dot = std::strrchr(entry, '.');
  if (dot == nullptr) return false;
  // A dot in a folder name is not an extension.
  if (std::strchr(dot, '\\') != nullptr || std::strchr(dot, '/') != nullptr) return false;
  return ContainsNoCase(".wma.mp3.asf", dot) != std::string::npos;
}

void MusicPlayer::SetEngines(StreamLibrary* streamLibrary, MediaStreamPlayer* mediaStream) {
  library = streamLibrary;
  media = mediaStream;
}

int MusicPlayer::Initialize(int newVolume) {
  cMonitorLock hold(lock_);
  volume = newVolume < 0 ? 0 : (newVolume > 255 ? 255 : newVolume);
  try {
    library->SetBufferSize(kBufferMilliseconds);
    library->SetDriver(0);
    library->SetOutput(kSoundOutputWinMM);
    if (!library->Init(kMixRate, kSoftwareChannels, kSoundInitGlobalFocus)) return kMusicEngineFailed;
    library->SetPan(kSoundAllChannels, kSoundStereoPan);
    library->SetVolume(kSoundAllChannels, volume);
    media->SetVolume(volume & 0xFF);
  } catch (...) {
    return kMusicEngineFailed;
  }
  return kMusicOk;
}

int MusicPlayer::LoadPlaylistFile(const char* path) {
  cMonitorLock hold(lock_);
  return tracks.LoadPlaylist(path) ? kMusicOk : kMusicEngineFailed;
}

int MusicPlayer::AddTrack(const char* entry) {
  cMonitorLock hold(lock_);
  tracks.AddEntry(entry);
  return kMusicOk;
}

void MusicPlayer::StepCurrent() {
  const int count = tracks.EntryCount();
  if (forward) {
    current = (current + 1) % count;
  } else {
    current -= 1;
    if (current < 0) current = count - 1;
  }
}

bool MusicPlayer::OpenCurrent() {
  const char* entry = tracks.GetEntry(current);
  if (entry == nullptr || std::strlen(entry) > kMusicPathLimit) return false;

  if (IsBuiltIn(entry)) {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    if (trackResolver == nullptr || trackResolver(entry, &data, &length) != 0 || data == nullptr ||
        length == 0)
      return false;
    stream = library->StreamOpen(reinterpret_cast<const char*>(data), kMemoryMode, 0,
                                 static_cast<int>(length));
  } else if (IsMediaStreamEntry(entry)) {
    usingLibrary = false;
    const int serial = media->Open(entry, MediaTrackEnded, this);
    if (serial <= 0) return false;
    streamSerial = serial;
    media->SetVolume(volume & 0xFF);
    return true;
  } else {
    stream = library->StreamOpen(entry, kFileMode, 0, 0);
  }

  usingLibrary = true;
  if (stream == 0) return false;
  library->StreamSetEndCallback(stream, LibraryTrackEnded, this);
  return true;
}

int MusicPlayer::OpenEntry() {
  const int count = tracks.EntryCount();
  // One step back first, so the first attempt is the entry that was current.
  current += forward ? -1 : 1;
  for (int attempt = 0; attempt <= count && count > 0; ++attempt) {
    StepCurrent();
    if (OpenCurrent()) return kMusicOk;
  }
  stopped = true;
  return kMusicNothingPlayable;
}

int MusicPlayer::Play() {
  cMonitorLock hold(lock_);
  if (!paused) Stop();
  if (paused) {
    paused = false;
    const bool resumed =
        usingLibrary ? library->SetPaused(channel, false) : media->Play(streamSerial, false);
    if (!resumed) return kMusicEngineFailed;
    stopped = false;
    return kMusicOk;
  }
  if (current >= tracks.EntryCount()) {
    stopped = true;
    return kMusicPastTheEnd;
  }
  paused = false;
  const int opened = OpenEntry();
  if (opened != kMusicOk) {
    stopped = true;
    failedStarts = 0;
    return opened;
  }

  bool started;
  if (usingLibrary) {
    channel = library->StreamPlay(kSoundFree, stream);
    library->SetVolume(kSoundAllChannels, volume);
    started = channel != -1;
  } else {
    started = media->Play(streamSerial, false);
  }
  if (!started) {
    if (++failedStarts >= tracks.EntryCount()) {
      Stop();
      failedStarts = 0;
      return kMusicNothingPlayable;
    }
    return forward ? Next() : Previous();
  }
  failedStarts = 0;
  stopped = false;
  ++startedTracks_;
  return kMusicOk;
}

bool MusicPlayer::TakeStartedTrack(std::string* entry) {
  cMonitorLock hold(lock_);
  if (takenTracks_ == startedTracks_) return false;
  takenTracks_ = startedTracks_;
  const char* name = tracks.GetEntry(current);
  *entry = name != nullptr ? name : "";
  return true;
}

int MusicPlayer::Next() {
  cMonitorLock hold(lock_);
  const int count = tracks.EntryCount();
  if (count == 0) return kMusicNothingPlayable;
  paused = false;
  current = (current + 1) % count;
  return Play();
}

int MusicPlayer::Previous() {
  cMonitorLock hold(lock_);
  const int count = tracks.EntryCount();
  if (count == 0) return kMusicNothingPlayable;
  current -= 1;
  if (current < 0) current = count - 1;
  paused = false;
  forward = false;
  const int result = Play();
  forward = true;
  return result;
}

int MusicPlayer::Pause() {
  cMonitorLock hold(lock_);
  paused = true;
  if (usingLibrary) {
    if (!library->SetPaused(channel, true)) return kMusicEngineFailed;
  } else {
    media->Pause(streamSerial);
  }
  return kMusicOk;
}

int MusicPlayer::Stop() {
  cMonitorLock hold(lock_);
  paused = false;
  stopped = true;
  if (!usingLibrary) {
    if (media != nullptr) media->Stop(streamSerial);
    return kMusicOk;
  }
  int result = kMusicOk;
  if (stream != 0) {
    if (!library->StreamStop(stream)) result = kMusicEngineFailed;
    if (!library->StreamClose(stream)) result = kMusicEngineFailed;
  }
  stream = 0;
  return result;
}

void MusicPlayer::Close() {
  {
    cMonitorLock hold(lock_);
    closing_ = true;
    if (media != nullptr) media->Stop(streamSerial);
    streamSerial = -1;
    if (library != nullptr && stream != 0) {
      library->StreamStop(stream);
      library->StreamClose(stream);
    }
    stream = 0;
  }
  // Not under the lock: the engine's thread may be waiting for it in an end
  // callback, and Close waits for that thread.
  if (library != nullptr) library->Close();
  cMonitorLock hold(lock_);
  ResetFields();
  closing_ = false;
}

void MusicPlayer::Shuffle(unsigned seed, int passes) {
  cMonitorLock hold(lock_);
  tracks.Shuffle(seed, passes);
}

int MusicPlayer::TrackCount() const {
  cMonitorLock hold(lock_);
  return tracks.EntryCount();
}

void MusicPlayer::ResetFields() {
  volume = 255;
  stream = 0;
  channel = 0;
  streamSerial = -1;
  usingLibrary = false;
  paused = false;
  stopped = true;
  current = 0;
  forward = true;
  trackResolver = nullptr;
  failedStarts = 0;
  failedInARow = 0;
  takenTracks_ = startedTracks_;
}

void MusicPlayer::LibraryStreamEnded(SoundStreamHandle ended) {
  cMonitorLock hold(lock_);
  if (closing_ || !usingLibrary || ended != stream) return;
  MoveOnFromEndedTrack(library->StreamFailed(ended));
}

void MusicPlayer::MediaStreamEnded(int serial) {
  cMonitorLock hold(lock_);
  if (closing_ || usingLibrary || serial != streamSerial) return;
  MoveOnFromEndedTrack(media->Aborted(serial));
}

void MusicPlayer::MoveOnFromEndedTrack(bool failed) {
  if (paused || stopped) return;
  failedInARow = failed ? failedInARow + 1 : 0;
  if (failedInARow >= tracks.EntryCount()) {
    failedInARow = 0;
    Stop();
    return;
  }
  Next();
}

void MusicPlayer::LibraryTrackEnded(SoundStreamHandle stream, void* data) {
  static_cast<MusicPlayer*>(data)->LibraryStreamEnded(stream);
}

void MusicPlayer::MediaTrackEnded(int serial, void* data) {
  static_cast<MusicPlayer*>(data)->MediaStreamEnded(serial);
}
