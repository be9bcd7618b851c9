// The music sequencer against two fake engines that record what was asked
// of them: engine choice, skipping, wrap, pause and resume, the give-up
// rule, and the start-up sequence of a saver run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "audio/music_player.h"
#include "audio/music_setup.h"
#include "bundle/bundle.h"
#include "bundle/bundle_writer.h"
#include "foundation/memory_store.h"
#include "foundation/saver_settings.h"

namespace {

class FakeLibrary : public StreamLibrary {
 public:
  bool SetBufferSize(int ms) override { return Log("buffer " + std::to_string(ms)); }
  bool SetDriver(int d) override { return Log("driver " + std::to_string(d)); }
  bool SetOutput(int o) override { return Log("output " + std::to_string(o)); }
  bool Init(int rate, int channels, unsigned flags) override {
    Log("init " + std::to_string(rate) + " " + std::to_string(channels) + " " +
        std::to_string(flags));
    return initWorks;
  }
  void Close() override { Log("close"); }
  bool SetPan(int c, int p) override { return Log("pan " + std::to_string(c) + " " + std::to_string(p)); }
  bool SetVolume(int c, int v) override {
    lastVolume = v;
    return Log("volume " + std::to_string(c) + " " + std::to_string(v));
  }
  bool SetPaused(int c, bool p) override {
    Log(std::string(p ? "pause " : "resume ") + std::to_string(c));
    return playing != 0;
  }
  SoundStreamHandle StreamOpen(const char* name, unsigned mode, int offset, int length) override {
    const std::string what = mode & kSoundLoadMemory ? std::string(name, length) : std::string(name);
    opened.push_back(what);
    modes.push_back(mode);
    (void)offset;
    if (missing.count(what)) return 0;
    return ++lastHandle;
  }
  int StreamPlay(int channel, SoundStreamHandle s) override {
    (void)channel;
    if (!startWorks) return -1;
    playing = s;
    return 0;
  }
  bool StreamStop(SoundStreamHandle s) override {
    if (playing == s) playing = 0;
    return Log("stop " + std::to_string(s));
  }
  bool StreamClose(SoundStreamHandle s) override { return Log("free " + std::to_string(s)); }
  bool StreamSetEndCallback(SoundStreamHandle s, SoundEndCallback cb, void* data) override {
    endStream = s;
    endCallback = cb;
    endData = data;
    return true;
  }
  void EndTrack() { endCallback(endStream, endData); }
  bool StreamFailed(SoundStreamHandle s) override { return failing.count(s) != 0; }
  // The playing stream's decoder gives up midway.
  void FailTrack() {
    failing.insert(endStream);
    EndTrack();
  }
  std::set<SoundStreamHandle> failing;
  bool Log(const std::string& call) {
    calls.push_back(call);
    return true;
  }

  bool initWorks = true;
  bool startWorks = true;
  std::set<std::string> missing;
  std::vector<std::string> opened;
  std::vector<unsigned> modes;
  std::vector<std::string> calls;
  SoundStreamHandle lastHandle = 0, playing = 0, endStream = 0;
  SoundEndCallback endCallback = nullptr;
  void* endData = nullptr;
  int lastVolume = -1;
};

class FakeMedia : public MediaStreamPlayer {
 public:
  int Open(const char* path, MediaEndCallback cb, void* data) override {
    opened.push_back(path);
    if (missing.count(path)) return 0;
    callback = cb;
    callbackData = data;
    return ++serial;
  }
  bool Play(int s, bool) override {
    played.push_back(s);
    return s == serial;
  }
  void Pause(int s) override { paused.push_back(s); }
  void Stop(int s) override { stopped.push_back(s); }
  void SetVolume(int level) override { volume = level; }
  bool Aborted(int s) const override { return aborted.count(s) != 0; }
  // The graph of the playing stream stops on an error.
  void Abort() {
    aborted.insert(serial);
    callback(serial, callbackData);
  }

  std::set<int> aborted;
  std::set<std::string> missing;
  std::vector<std::string> opened;
  std::vector<int> played, paused, stopped;
  MediaEndCallback callback = nullptr;
  void* callbackData = nullptr;
  int serial = 0;
  int volume = -1;
};

class MusicPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { player.SetEngines(&library, &media); }
  void Tracks(const std::vector<std::string>& entries) {
    for (const std::string& e : entries) player.AddTrack(e.c_str());
  }
  std::string Current() { return player.tracks.GetEntry(player.current); }

  FakeLibrary library;
  FakeMedia media;
  MusicPlayer player;
};

int ResolveAny(const char* entry, const uint8_t** data, uint32_t* length) {
  static std::string held;
  held = std::string("bytes of ") + (entry + 1);
  *data = reinterpret_cast<const uint8_t*>(held.data());
  *length = static_cast<uint32_t>(held.size());
  return 0;
}

TEST_F(MusicPlayerTest, InitializeStartsTheStreamingEngineWithItsValues) {
  EXPECT_EQ(player.Initialize(300), kMusicOk);
  const std::vector<std::string> expected = {"buffer 250", "driver 0", "output 1",
                                             "init 44100 1 2", "pan -3 -1", "volume -3 255"};
  EXPECT_EQ(library.calls, expected);
  EXPECT_EQ(media.volume, 255);  // clamped, then given to both engines

  library.initWorks = false;
  EXPECT_EQ(player.Initialize(128), kMusicEngineFailed);
}

TEST_F(MusicPlayerTest, TheExtensionChoosesTheEngine) {
  player.SetTrackResolver(ResolveAny);
  Tracks({"C:\\m\\a.MP3", "C:\\m\\b.Wma", "C:\\m\\c.ogg", "C:\\m\\d.wav", "C:\\m\\e.mp2",
          "C:\\m\\noext", "C:\\m.wma\\f", "?tune.wma"});
  for (int i = 0; i < 8; ++i) {
    if (i == 0)
      ASSERT_EQ(player.Play(), kMusicOk);
    else
      ASSERT_EQ(player.Next(), kMusicOk);
  }
  EXPECT_EQ(media.opened, (std::vector<std::string>{"C:\\m\\a.MP3", "C:\\m\\b.Wma"}));
  ASSERT_EQ(library.opened.size(), 6u);
  EXPECT_EQ(library.opened[0], "C:\\m\\c.ogg");
  EXPECT_EQ(library.opened[4], "C:\\m.wma\\f");  // a dot in a folder is no extension
  EXPECT_EQ(library.modes[0], 0x2130u);
  // A built-in track plays from memory whatever its name says.
  EXPECT_EQ(library.opened[5], "bytes of tune.wma");
  EXPECT_EQ(library.modes[5], 0xA130u);
  EXPECT_TRUE(player.usingLibrary);
}

TEST_F(MusicPlayerTest, SkippingWrapsAndPassesOverUnplayableEntriesInTheDirectionOfTravel) {
  Tracks({"a.ogg", "b.ogg", "c.ogg", "d.ogg"});
  library.missing = {"b.ogg", "d.ogg"};
  ASSERT_EQ(player.Play(), kMusicOk);
  EXPECT_EQ(Current(), "a.ogg");
  ASSERT_EQ(player.Next(), kMusicOk);  // b is missing: on to c
  EXPECT_EQ(Current(), "c.ogg");
  ASSERT_EQ(player.Next(), kMusicOk);  // d is missing: round to a
  EXPECT_EQ(Current(), "a.ogg");
  ASSERT_EQ(player.Previous(), kMusicOk);  // back from the first: d missing, then c
  EXPECT_EQ(Current(), "c.ogg");
  EXPECT_TRUE(player.forward);
  ASSERT_EQ(player.Previous(), kMusicOk);  // b missing going back: a
  EXPECT_EQ(Current(), "a.ogg");
  // Each change stopped and freed the stream before.
  EXPECT_EQ(library.playing, library.lastHandle);
}

TEST_F(MusicPlayerTest, PauseResumesInPlaceNextMovesOnAndPlayRestarts) {
  Tracks({"a.ogg", "b.mp3"});
  ASSERT_EQ(player.Play(), kMusicOk);
  const SoundStreamHandle first = player.stream;
  ASSERT_EQ(player.Pause(), kMusicOk);
  EXPECT_TRUE(player.paused);
  ASSERT_EQ(player.Play(), kMusicOk);
  EXPECT_EQ(player.stream, first);  // resumed, nothing reopened
  EXPECT_EQ(library.calls.back(), "resume 0");
  EXPECT_EQ(library.opened.size(), 1u);

  ASSERT_EQ(player.Play(), kMusicOk);  // while playing: the same track again
  EXPECT_EQ(library.opened, (std::vector<std::string>{"a.ogg", "a.ogg"}));

  ASSERT_EQ(player.Pause(), kMusicOk);
  ASSERT_EQ(player.Next(), kMusicOk);  // paused, then the following track
  EXPECT_FALSE(player.paused);
  EXPECT_EQ(media.opened, (std::vector<std::string>{"b.mp3"}));
  ASSERT_EQ(player.Pause(), kMusicOk);
  EXPECT_EQ(media.paused, (std::vector<int>{1}));
  ASSERT_EQ(player.Play(), kMusicOk);  // the media stream resumes by Play
  EXPECT_EQ(media.played, (std::vector<int>{1, 1}));

  EXPECT_EQ(player.Stop(), kMusicOk);
  EXPECT_TRUE(player.stopped);
  ASSERT_FALSE(media.stopped.empty());
  EXPECT_EQ(media.stopped.back(), 1);
}

TEST_F(MusicPlayerTest, NothingPlayableStopsSilently) {
  Tracks({"gone1.ogg", "gone2.wma", "?notthere"});
  library.missing = {"gone1.ogg"};
  media.missing = {"gone2.wma"};
  EXPECT_EQ(player.Play(), kMusicNothingPlayable);  // no resolver: the built-in one is skipped
  EXPECT_TRUE(player.stopped);
  EXPECT_EQ(library.opened.size() + media.opened.size(), 3u);  // one pass and the first again
  EXPECT_EQ(library.opened.size(), 2u);

  MusicPlayer empty;
  empty.SetEngines(&library, &media);
  EXPECT_EQ(empty.Play(), kMusicPastTheEnd);
  EXPECT_EQ(empty.Next(), kMusicNothingPlayable);
}

TEST_F(MusicPlayerTest, TracksThatOpenButNeverStartGiveUpAfterOnePass) {
  std::vector<std::string> many;
  for (int i = 0; i < 200; ++i) many.push_back("t" + std::to_string(i) + ".ogg");
  Tracks(many);
  library.startWorks = false;
  EXPECT_EQ(player.Play(), kMusicNothingPlayable);
  EXPECT_TRUE(player.stopped);
  EXPECT_EQ(library.opened.size(), 200u);
  EXPECT_EQ(player.stream, 0u);  // the last one opened was freed again

  library.startWorks = true;  // and the player still works afterwards
  EXPECT_EQ(player.Next(), kMusicOk);
}

TEST_F(MusicPlayerTest, TheEndOfATrackMovesOnOnlyWhilePlaying) {
  Tracks({"a.ogg", "b.ogg", "c.wma"});
  ASSERT_EQ(player.Play(), kMusicOk);
  library.EndTrack();
  EXPECT_EQ(Current(), "b.ogg");
  library.EndTrack();
  EXPECT_EQ(Current(), "c.wma");
  media.callback(media.serial, media.callbackData);
  EXPECT_EQ(Current(), "a.ogg");

  ASSERT_EQ(player.Pause(), kMusicOk);
  library.EndTrack();
  EXPECT_EQ(Current(), "a.ogg");
  player.Stop();
  library.EndTrack();
  EXPECT_EQ(Current(), "a.ogg");
}

TEST_F(MusicPlayerTest, TheLogTakesTheLatestStartedTrackOnceAndNoResume) {
  Tracks({"a.ogg", "Größe/星空.ogg", "c.wma"});
  std::string entry;
  EXPECT_FALSE(player.TakeStartedTrack(&entry));
  ASSERT_EQ(player.Play(), kMusicOk);
  library.EndTrack();  // two starts before the main thread looks: the latest
  ASSERT_TRUE(player.TakeStartedTrack(&entry));
  EXPECT_EQ(entry, "Größe/星空.ogg");
  EXPECT_FALSE(player.TakeStartedTrack(&entry));
  ASSERT_EQ(player.Pause(), kMusicOk);
  ASSERT_EQ(player.Play(), kMusicOk);
  EXPECT_FALSE(player.TakeStartedTrack(&entry));
  ASSERT_EQ(player.Next(), kMusicOk);
  player.Close();  // what started before the end is no longer playing
  EXPECT_FALSE(player.TakeStartedTrack(&entry));
}

TEST_F(MusicPlayerTest, TracksFailingMidwayMoveOnAndAWholePassOfThemEndsTheMusic) {
  Tracks({"a.ogg", "b.wma", "c.ogg"});
  ASSERT_EQ(player.Play(), kMusicOk);
  library.FailTrack();
  EXPECT_EQ(Current(), "b.wma");
  media.Abort();  // before this mend an aborted graph never moved on
  EXPECT_EQ(Current(), "c.ogg");
  // One that plays out in between starts the count again.
  library.EndTrack();
  EXPECT_EQ(Current(), "a.ogg");
  library.FailTrack();
  media.Abort();
  EXPECT_EQ(Current(), "c.ogg");
  EXPECT_FALSE(player.stopped);
  const size_t opened = library.opened.size() + media.opened.size();
  library.FailTrack();  // the third in a row: every track failed once
  EXPECT_TRUE(player.stopped);
  EXPECT_EQ(library.opened.size() + media.opened.size(), opened) << "went round again";
}

TEST_F(MusicPlayerTest, OverlongEntriesAreSkipped) {
  Tracks({std::string(kMusicPathLimit + 1, 'x') + ".ogg", "ok.ogg"});
  ASSERT_EQ(player.Play(), kMusicOk);
  EXPECT_EQ(library.opened, (std::vector<std::string>{"ok.ogg"}));
}

TEST_F(MusicPlayerTest, CloseResetsEverythingButTheList) {
  Tracks({"a.ogg", "b.ogg"});
  player.Initialize(100);
  player.Next();
  player.Close();
  EXPECT_EQ(library.calls.back(), "close");
  EXPECT_EQ(player.volume, 255);
  EXPECT_EQ(player.current, 0);
  EXPECT_EQ(player.stream, 0u);
  EXPECT_TRUE(player.stopped);
  EXPECT_EQ(player.TrackCount(), 2);
}

// The start of a saver run: the user's list, then the bundle's tracks.
class StartMusicTest : public MusicPlayerTest {
 protected:
  void SetUp() override {
    MusicPlayerTest::SetUp();
    dir = ::testing::TempDir() + "zv_music_" + std::to_string(::getpid()) + "/";
    std::system(("mkdir -p " + dir).c_str());
    BundleWriter writer;
    writer.AddCategory("image");
    writer.AddFile("p.jpg", "x", 1);
    writer.AddCategory("music");
    writer.AddFile("one.ogg", "first", 5);
    writer.AddFile("two.ogg", "second", 6);
    ASSERT_TRUE(writer.WriteTo(dir + "images.bdl"));
    ASSERT_TRUE(bundle.Open(dir + "images.bdl"));
    FILE* list = std::fopen((dir + "user.M3U").c_str(), "wb");
    std::fputs("#EXTM3U\nC:\\mine\\x.ogg\nC:\\mine\\y.wav\n", list);
    std::fclose(list);
    settings.ShuffleMusic = 0;
  }
  void TearDown() override { std::system(("rm -rf " + dir).c_str()); }

  std::string dir;
  VFBUNDLE bundle;
  MemoryStore store;
  SaverSettings settings{store};
};

TEST_F(StartMusicTest, CustomEntriesComeFirstThenTheBuiltInTracksPlayFromTheBundle) {
  settings.CustomMusic = 1;
  settings.DefaultMusic = 1;
  ASSERT_TRUE(StartMusic(player, settings, dir + "user.M3U", bundle, 1));
  ASSERT_EQ(player.TrackCount(), 4);
  EXPECT_STREQ(player.tracks.GetEntry(0), "C:\\mine\\x.ogg");
  EXPECT_STREQ(player.tracks.GetEntry(1), "C:\\mine\\y.wav");
  EXPECT_STREQ(player.tracks.GetEntry(2), "?one.ogg");
  EXPECT_STREQ(player.tracks.GetEntry(3), "?two.ogg");
  EXPECT_EQ(settings.PlayMusic, 1);
  EXPECT_FALSE(player.stopped);

  // The built-in tracks reach the engine as the bundle's bytes.
  player.current = 3;
  ASSERT_EQ(player.Play(), kMusicOk);
  EXPECT_EQ(library.opened.back(), "second");
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(ResolveBuiltInTrack("?three.ogg", &data, &length), 2);
}

TEST_F(StartMusicTest, AnEmptyListOrADeadEngineTurnsMusicOffForTheRun) {
  settings.CustomMusic = 1;
  settings.DefaultMusic = 0;
  EXPECT_TRUE(StartMusic(player, settings, dir + "absent.M3U", bundle, 1));
  EXPECT_EQ(settings.PlayMusic, 0);
  EXPECT_EQ(library.calls.back(), "close");

  MusicPlayer second;
  second.SetEngines(&library, &media);
  settings.PlayMusic = 1;
  library.initWorks = false;
  EXPECT_FALSE(StartMusic(second, settings, dir + "user.M3U", bundle, 1));
  EXPECT_EQ(settings.PlayMusic, 0);
  EXPECT_EQ(second.TrackCount(), 0);
}

}  // namespace
