// The music player driven by two threads at once, as in the saver: arrow
// keys on one, track ends on the streaming engine's own thread. Built with
// ThreadSanitizer, which ends the run at the first data race it sees.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/music_player.h"

namespace {

// A streaming engine with its own lock, as the real one has, that reports
// the streams it holds open. End callbacks are made without that lock.
class ThreadedLibrary : public StreamLibrary {
 public:
  bool SetBufferSize(int) override { return true; }
  bool SetDriver(int) override { return true; }
  bool SetOutput(int) override { return true; }
  bool Init(int, int, unsigned) override { return true; }
  void Close() override {}
  bool SetPan(int, int) override { return true; }
  bool SetVolume(int, int) override { return true; }
  bool SetPaused(int, bool) override { return true; }
  SoundStreamHandle StreamOpen(const char*, unsigned, int, int) override {
    std::lock_guard<std::mutex> hold(lock_);
    const SoundStreamHandle handle = ++lastHandle_;
    open_[handle] = Stream{};
    return handle;
  }
  int StreamPlay(int, SoundStreamHandle stream) override {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = open_.find(stream);
    if (found == open_.end()) return -1;
    found->second.playing = true;
    return 0;
  }
  bool StreamStop(SoundStreamHandle stream) override {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = open_.find(stream);
    if (found != open_.end()) found->second.playing = false;
    return found != open_.end();
  }
  bool StreamClose(SoundStreamHandle stream) override {
    std::lock_guard<std::mutex> hold(lock_);
    return open_.erase(stream) == 1;
  }
  bool StreamSetEndCallback(SoundStreamHandle stream, SoundEndCallback callback, void* data) override {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = open_.find(stream);
    if (found == open_.end()) return false;
    found->second.callback = callback;
    found->second.data = data;
    return true;
  }

  // What the engine's thread does when the playing stream runs out.
  void EndPlayingStream() {
    SoundStreamHandle ended = 0;
    SoundEndCallback callback = nullptr;
    void* data = nullptr;
    {
      std::lock_guard<std::mutex> hold(lock_);
      for (const auto& [handle, stream] : open_) {
        if (stream.playing && stream.callback != nullptr) {
          ended = handle;
          callback = stream.callback;
          data = stream.data;
        }
      }
    }
    if (callback != nullptr) callback(ended, data);
  }

  std::vector<SoundStreamHandle> Playing() {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<SoundStreamHandle> playing;
    for (const auto& [handle, stream] : open_)
      if (stream.playing) playing.push_back(handle);
    return playing;
  }
  size_t OpenCount() {
    std::lock_guard<std::mutex> hold(lock_);
    return open_.size();
  }

 private:
  struct Stream {
    bool playing = false;
    SoundEndCallback callback = nullptr;
    void* data = nullptr;
  };
  std::mutex lock_;
  std::map<SoundStreamHandle, Stream> open_;
  SoundStreamHandle lastHandle_ = 0;
};

class NoMedia : public MediaStreamPlayer {
 public:
  int Open(const char*, MediaEndCallback, void*) override { return 0; }
  bool Play(int, bool) override { return false; }
  void Pause(int) override {}
  void Stop(int) override {}
  void SetVolume(int) override {}
};

}  // namespace

TEST(MusicPlayerThreads, KeysAndTrackEndsTogetherLeaveExactlyOneStreamPlaying) {
  ThreadedLibrary library;
  NoMedia media;
  MusicPlayer player;
  player.SetEngines(&library, &media);
  ASSERT_EQ(player.Initialize(200), kMusicOk);
  for (const char* track : {"a.ogg", "b.ogg", "c.ogg", "d.wav"}) player.AddTrack(track);
  ASSERT_EQ(player.Play(), kMusicOk);

  std::atomic<bool> go{false};
  std::thread engine([&] {
    while (!go) std::this_thread::yield();
    for (int i = 0; i < 3000; ++i) library.EndPlayingStream();
  });
  go = true;
  for (int i = 0; i < 3000; ++i) {
    if (i % 3 == 2)
      player.Previous();
    else
      player.Next();
  }
  engine.join();

  // No stream left behind that the player does not know about.
  const std::vector<SoundStreamHandle> playing = library.Playing();
  ASSERT_EQ(playing.size(), 1u);
  EXPECT_EQ(library.OpenCount(), 1u);
  EXPECT_EQ(player.stream, playing[0]);
  EXPECT_FALSE(player.stopped);
  player.Close();
  EXPECT_EQ(library.OpenCount(), 0u);
}

TEST(MusicPlayerThreads, ClosingWhileATrackEndsNeitherHangsNorMovesOn) {
  for (int round = 0; round < 200; ++round) {
    ThreadedLibrary library;
    NoMedia media;
    MusicPlayer player;
    player.SetEngines(&library, &media);
    ASSERT_EQ(player.Initialize(200), kMusicOk);
    player.AddTrack("a.ogg");
    player.AddTrack("b.ogg");
    ASSERT_EQ(player.Play(), kMusicOk);
    std::thread engine([&] { library.EndPlayingStream(); });
    player.Close();
    engine.join();
    // An end that came after Close started opens nothing new.
    EXPECT_EQ(library.OpenCount(), 0u) << "round " << round;
  }
}
