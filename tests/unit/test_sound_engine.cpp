// The streaming engine against a recording device: what reaches the
// device (volume, pan, pause), the end-of-stream callback and what it may
// do, handles and channels, and set-up and shutdown.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "audio/sound_engine.h"
#include "tests/support/sound_fakes.h"

namespace {

const unsigned kMemory = kSoundNormal | kSound2D | kSoundLoadMemory;

class SoundEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    output = new RecordingOutput;
    ASSERT_TRUE(engine.SetOutputDevice(std::unique_ptr<SoundOutput>(output)));
    ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
    block = engine.BlockFrames();
    ASSERT_GT(block, 0u);
  }

  SoundStreamHandle OpenSamples(const std::vector<int16_t>& samples) {
    const std::vector<uint8_t> wav = MakeWav(samples);
    return engine.StreamOpen(reinterpret_cast<const char*>(wav.data()), kMemory, 0,
                             static_cast<int>(wav.size()));
  }

  // Frames [from, from + count) of the recording, one channel.
  std::vector<int16_t> Recorded(size_t from, size_t count, int side) {
    const std::vector<int16_t> all = output->Recorded();
    std::vector<int16_t> result;
    for (size_t i = from; i < from + count && 2 * i + 1 < all.size(); ++i)
      result.push_back(all[2 * i + static_cast<size_t>(side)]);
    return result;
  }

  static std::vector<int16_t> Side(const std::vector<int16_t>& samples, size_t from, size_t count,
                                   int side, int volume = 255) {
    std::vector<int16_t> result;
    for (size_t i = from; i < from + count; ++i)
      result.push_back(static_cast<int16_t>(samples[2 * i + static_cast<size_t>(side)] * volume / 255));
    return result;
  }

  SoundEngine engine;
  RecordingOutput* output = nullptr;  // owned by the engine
  size_t block = 0;
};

TEST(SoundEngineSetUp, InitNeedsADeviceAndSaneArguments) {
  SoundEngine engine;
  // Natively there is no device of our own.
  EXPECT_FALSE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  EXPECT_EQ(engine.StreamOpen("x.wav", kSoundNormal, 0, 0), 0u);
  EXPECT_FALSE(engine.SetOutput(2));
  EXPECT_TRUE(engine.SetOutput(kSoundOutputWinMM));
  EXPECT_FALSE(engine.SetDriver(1));
  EXPECT_TRUE(engine.SetDriver(0));
  EXPECT_FALSE(engine.SetBufferSize(0));
  EXPECT_TRUE(engine.SetBufferSize(100));

  RecordingOutput* output = new RecordingOutput;
  output->openWorks = false;
  ASSERT_TRUE(engine.SetOutputDevice(std::unique_ptr<SoundOutput>(output)));
  EXPECT_FALSE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  EXPECT_FALSE(engine.IsInitialised());
  EXPECT_EQ(output->threadStarts, 0);

  output->openWorks = true;
  EXPECT_FALSE(engine.Init(44100, 0, kSoundInitGlobalFocus));
  EXPECT_FALSE(engine.Init(44100, SoundEngine::kMaxChannels + 1, kSoundInitGlobalFocus));
  EXPECT_FALSE(engine.Init(0, 1, kSoundInitGlobalFocus));
  ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  EXPECT_EQ(output->rate, 44100);
  EXPECT_EQ(output->channels, 2);
  EXPECT_EQ(output->blockCount, SoundEngine::kBlockCount);
  EXPECT_EQ(output->blockFrames, 44100u * 100 / 1000 / SoundEngine::kBlockCount);
  EXPECT_FALSE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  EXPECT_FALSE(engine.SetBufferSize(250));
  EXPECT_FALSE(engine.SetOutputDevice(nullptr));
  engine.Close();
  EXPECT_EQ(output->closes, 1);
  EXPECT_EQ(output->threadEnds, 1);
}

TEST_F(SoundEngineTest, MixesTheSourceTimesTheChannelVolume) {
  const std::vector<int16_t> source = Ramp(6 * block, 1000);
  const SoundStreamHandle stream = OpenSamples(source);
  ASSERT_NE(stream, 0u);
  EXPECT_TRUE(engine.SetPan(kSoundAllChannels, kSoundStereoPan));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  const int volumes[] = {255, 100, 1, 0};
  for (size_t step = 0; step < 4; ++step) {
    ASSERT_TRUE(engine.SetVolume(kSoundAllChannels, volumes[step]));
    ASSERT_TRUE(output->Pump(1));
    for (int side = 0; side < 2; ++side)
      EXPECT_EQ(Recorded(step * block, block, side), Side(source, step * block, block, side, volumes[step]))
          << "volume " << volumes[step] << " side " << side;
  }
  // A volume past either end is taken as that end.
  ASSERT_TRUE(engine.SetVolume(0, 999));
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(4 * block, block, 0), Side(source, 4 * block, block, 0));
  EXPECT_FALSE(engine.SetVolume(1, 255));  // only one channel
}

TEST_F(SoundEngineTest, PanSilencesTheOtherSideAtEachEnd) {
  const std::vector<int16_t> source = Ramp(4 * block, 5000);
  const SoundStreamHandle stream = OpenSamples(source);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(engine.SetPan(0, 0));
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(0, block, 0), Side(source, 0, block, 0));
  EXPECT_EQ(Recorded(0, block, 1), std::vector<int16_t>(block, 0));
  ASSERT_TRUE(engine.SetPan(0, 255));
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(block, block, 0), std::vector<int16_t>(block, 0));
  EXPECT_EQ(Recorded(block, block, 1), Side(source, block, block, 1));
  ASSERT_TRUE(engine.SetPan(0, 128));  // the centre is as decoded
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(2 * block, block, 0), Side(source, 2 * block, block, 0));
  EXPECT_EQ(Recorded(2 * block, block, 1), Side(source, 2 * block, block, 1));
}

TEST_F(SoundEngineTest, PauseGivesSilenceAndResumesAtTheSameSample) {
  const std::vector<int16_t> source = Ramp(8 * block, 1);
  const SoundStreamHandle stream = OpenSamples(source);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(output->Pump(2));
  ASSERT_TRUE(engine.SetPaused(0, true));
  ASSERT_TRUE(output->Pump(2));
  EXPECT_EQ(Recorded(2 * block, 2 * block, 0), std::vector<int16_t>(2 * block, 0));
  ASSERT_TRUE(engine.SetPaused(0, false));
  ASSERT_TRUE(output->Pump(2));
  EXPECT_EQ(Recorded(4 * block, 2 * block, 0), Side(source, 2 * block, 2 * block, 0));
  EXPECT_EQ(Recorded(4 * block, 2 * block, 1), Side(source, 2 * block, 2 * block, 1));
  EXPECT_FALSE(engine.SetPaused(3, true));
}

TEST_F(SoundEngineTest, StreamPlayLiftsThePauseOfItsChannel) {
  const std::vector<int16_t> first = Ramp(2 * block, 10);
  const std::vector<int16_t> second = Ramp(2 * block, 20000);
  const SoundStreamHandle one = OpenSamples(first);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, one), 0);
  ASSERT_TRUE(engine.SetPaused(0, true));
  // Pause, then the next track: it must be heard.
  ASSERT_TRUE(engine.StreamStop(one));
  ASSERT_TRUE(engine.StreamClose(one));
  const SoundStreamHandle two = OpenSamples(second);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, two), 0);
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(0, block, 0), Side(second, 0, block, 0));
}

// Shared between the test and the end callback on the engine thread.
struct EndRecord {
  SoundEngine* engine = nullptr;
  RecordingOutput* output = nullptr;
  std::vector<uint8_t> nextWav;
  std::atomic<int> calls{0};
  std::atomic<SoundStreamHandle> ended{0};
  std::atomic<SoundStreamHandle> next{0};
  std::atomic<bool> closedOwn{false};
  std::atomic<int> nextChannel{-2};
  std::atomic<size_t> blocksAtCall{0};
  std::thread::id thread;
};

void StartTheNext(SoundStreamHandle stream, void* data) {
  EndRecord& record = *static_cast<EndRecord*>(data);
  record.thread = std::this_thread::get_id();
  record.blocksAtCall = record.output->Blocks();
  record.ended = stream;
  record.closedOwn = record.engine->StreamClose(stream);
  const SoundStreamHandle next =
      record.engine->StreamOpen(reinterpret_cast<const char*>(record.nextWav.data()), kMemory, 0,
                                static_cast<int>(record.nextWav.size()));
  record.next = next;
  record.nextChannel = record.engine->StreamPlay(kSoundFree, next);
  ++record.calls;
}

TEST_F(SoundEngineTest, EndCallbackRunsOnceOnTheEngineThreadAndMayStartTheNextStream) {
  const std::vector<int16_t> first = Ramp(block + block / 2, 100);
  const std::vector<int16_t> second = Ramp(3 * block, 20000);
  EndRecord record;
  record.engine = &engine;
  record.output = output;
  record.nextWav = MakeWav(second);
  const SoundStreamHandle stream = OpenSamples(first);
  ASSERT_TRUE(engine.StreamSetEndCallback(stream, StartTheNext, &record));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);

  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(record.calls, 0);
  ASSERT_TRUE(output->Pump(1));  // holds the last half block
  ASSERT_TRUE(output->Pump(2));
  EXPECT_EQ(record.calls, 1);
  EXPECT_EQ(record.ended, stream);
  EXPECT_EQ(record.thread, output->engineThread);
  EXPECT_NE(record.thread, std::this_thread::get_id());
  // Called only after the block with the stream's last samples was queued.
  EXPECT_EQ(record.blocksAtCall, 2u);
  EXPECT_TRUE(record.closedOwn);
  ASSERT_NE(record.next, 0u);
  EXPECT_EQ(record.nextChannel, 0);

  // The first stream whole, silence to the end of its block, then the next.
  const size_t tail = block / 2;
  EXPECT_EQ(Recorded(0, first.size() / 2, 0), Side(first, 0, first.size() / 2, 0));
  EXPECT_EQ(Recorded(block + tail, block - tail, 0), std::vector<int16_t>(block - tail, 0));
  EXPECT_EQ(Recorded(2 * block, 2 * block, 0), Side(second, 0, 2 * block, 0));
  EXPECT_EQ(Recorded(2 * block, 2 * block, 1), Side(second, 0, 2 * block, 1));

  // The next stream runs out with no callback; the first never fires again.
  ASSERT_TRUE(output->Pump(3));
  EXPECT_EQ(record.calls, 1);
  EXPECT_EQ(Recorded(5 * block, block, 0), std::vector<int16_t>(block, 0));
}

struct LockProbe {
  std::atomic<bool> inCallback{false};
  std::atomic<bool> otherThreadDone{false};
  std::atomic<bool> sawOtherThread{false};
};

void WaitForTheOtherThread(SoundStreamHandle, void* data) {
  LockProbe& probe = *static_cast<LockProbe*>(data);
  probe.inCallback = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (!probe.otherThreadDone && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  probe.sawOtherThread = probe.otherThreadDone.load();
}

TEST_F(SoundEngineTest, EndCallbackRunsWithoutTheEngineLock) {
  LockProbe probe;
  const SoundStreamHandle stream = OpenSamples(Ramp(block / 2, 1));
  ASSERT_TRUE(engine.StreamSetEndCallback(stream, WaitForTheOtherThread, &probe));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(output->Pump(1));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!probe.inCallback && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(probe.inCallback);
  // Would wait for the callback's end if the engine thread held the lock.
  EXPECT_TRUE(engine.SetVolume(0, 200));
  probe.otherThreadDone = true;
  ASSERT_TRUE(output->Pump(1));
  EXPECT_TRUE(probe.sawOtherThread);
}

TEST_F(SoundEngineTest, StaleAndUnknownHandlesAreRefused) {
  const SoundStreamHandle first = OpenSamples(Ramp(block, 1));
  ASSERT_NE(first, 0u);
  ASSERT_TRUE(engine.StreamClose(first));
  EXPECT_EQ(engine.StreamPlay(kSoundFree, first), -1);
  EXPECT_FALSE(engine.StreamStop(first));
  EXPECT_FALSE(engine.StreamClose(first));
  EXPECT_FALSE(engine.StreamSetEndCallback(first, nullptr, nullptr));
  EXPECT_FALSE(engine.StreamStop(0));
  EXPECT_EQ(engine.StreamPlay(kSoundFree, 4711), -1);

  const SoundStreamHandle second = OpenSamples(Ramp(block, 1));
  EXPECT_GT(second, first);  // never handed out again
  engine.Close();
  EXPECT_FALSE(engine.StreamClose(second));
  ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  const SoundStreamHandle third = OpenSamples(Ramp(block, 1));
  EXPECT_GT(third, second);
  EXPECT_FALSE(engine.StreamStop(second));
  EXPECT_TRUE(engine.StreamStop(third));
}

TEST_F(SoundEngineTest, ChannelsAreHandedOutOnlyWhenFree) {
  const SoundStreamHandle one = OpenSamples(Ramp(4 * block, 1));
  const SoundStreamHandle two = OpenSamples(Ramp(4 * block, 20000));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, one), 0);
  EXPECT_EQ(engine.StreamPlay(kSoundFree, one), 0);  // already playing there
  EXPECT_EQ(engine.StreamPlay(kSoundFree, two), -1);
  EXPECT_EQ(engine.StreamPlay(1, two), -1);  // no such channel
  ASSERT_TRUE(engine.StreamStop(one));
  EXPECT_EQ(engine.StreamPlay(kSoundFree, one), -1);  // stopped streams stay stopped
  ASSERT_EQ(engine.StreamPlay(kSoundFree, two), 0);
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(0, 4, 0), (std::vector<int16_t>{20000, 20001, 20002, 20003}));
}

TEST_F(SoundEngineTest, NamingAChannelTakesItOver) {
  const SoundStreamHandle one = OpenSamples(Ramp(4 * block, 1));
  const std::vector<int16_t> second = Ramp(4 * block, 20000);
  const SoundStreamHandle two = OpenSamples(second);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, one), 0);
  ASSERT_EQ(engine.StreamPlay(0, two), 0);
  EXPECT_EQ(engine.StreamPlay(kSoundFree, one), -1);
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(0, block, 0), Side(second, 0, block, 0));
}

TEST_F(SoundEngineTest, OpenRefusesMissingFilesAndDataNoDecoderTakes) {
  EXPECT_EQ(engine.StreamOpen("/nonexistent/zelvora/track.wav", kSoundNormal | kSound2D, 0, 0), 0u);
  EXPECT_EQ(engine.StreamOpen(nullptr, kMemory, 0, 10), 0u);
  const std::string garbage(5000, 'x');
  EXPECT_EQ(engine.StreamOpen(garbage.data(), kMemory, 0, static_cast<int>(garbage.size())), 0u);
  const std::vector<uint8_t> wav = MakeWav(Ramp(block, 1));
  const char* data = reinterpret_cast<const char*>(wav.data());
  const int size = static_cast<int>(wav.size());
  EXPECT_EQ(engine.StreamOpen(data, kMemory, 0, 0), 0u);
  EXPECT_EQ(engine.StreamOpen(data, kMemory, size, size), 0u);
  EXPECT_EQ(engine.StreamOpen(data, kMemory, -1, size), 0u);
  EXPECT_EQ(engine.StreamOpen(data, kMemory, 4, size), 0u);  // no longer a RIFF file
}

TEST_F(SoundEngineTest, OpensFilesAndSkipsTheOffset) {
  const std::vector<int16_t> source = Ramp(2 * block, 300);
  std::vector<uint8_t> bytes(7, 0xEE);  // a prefix to skip
  const std::vector<uint8_t> wav = MakeWav(source);
  bytes.insert(bytes.end(), wav.begin(), wav.end());
  const std::string path = testing::TempDir() + "zv_sound_engine_source.bin";
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  EXPECT_EQ(engine.StreamOpen(path.c_str(), kSoundNormal | kSound2D, 0, 0), 0u);
  // The length counts from the start of the file: this cuts the data.
  const SoundStreamHandle cut =
      engine.StreamOpen(path.c_str(), kSoundNormal | kSound2D, 7, static_cast<int>(7 + 44 + 4 * 10));
  const SoundStreamHandle stream = engine.StreamOpen(path.c_str(), kSoundNormal | kSound2D, 7, 0);
  std::remove(path.c_str());
  ASSERT_NE(stream, 0u);
  ASSERT_NE(cut, 0u);
  ASSERT_EQ(engine.StreamPlay(kSoundFree, cut), 0);
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(0, 12, 0), (std::vector<int16_t>{300, 301, 302, 303, 304, 305, 306, 307,
                                                     308, 309, 0, 0}));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(output->Pump(2));
  EXPECT_EQ(Recorded(block, 2 * block, 0), Side(source, 0, 2 * block, 0));

  // A block in memory is copied: the caller may free it at once.
  std::vector<uint8_t> copy = MakeWav(source);
  const SoundStreamHandle fromMemory = engine.StreamOpen(reinterpret_cast<const char*>(copy.data()),
                                                         kMemory, 0, static_cast<int>(copy.size()));
  std::fill(copy.begin(), copy.end(), 0);
  copy.clear();
  copy.shrink_to_fit();
  ASSERT_TRUE(engine.StreamClose(stream));  // has not run out yet: exactly two blocks
  ASSERT_EQ(engine.StreamPlay(kSoundFree, fromMemory), 0);
  ASSERT_TRUE(output->Pump(1));
  EXPECT_EQ(Recorded(3 * block, block, 1), Side(source, 0, block, 1));
}

TEST_F(SoundEngineTest, CloseWithAPlayingStreamIsClean) {
  const SoundStreamHandle stream = OpenSamples(Ramp(20 * block, 1));
  int calls = 0;
  ASSERT_TRUE(engine.StreamSetEndCallback(
      stream, [](SoundStreamHandle, void* data) { ++*static_cast<int*>(data); }, &calls));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(output->Pump(2));
  engine.Close();
  EXPECT_FALSE(engine.IsInitialised());
  EXPECT_EQ(output->threadEnds, 1);
  EXPECT_FALSE(output->isOpen);
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(engine.StreamStop(stream));
  EXPECT_EQ(engine.StreamOpen("x", kSoundNormal, 0, 0), 0u);
  EXPECT_FALSE(engine.SetVolume(kSoundAllChannels, 10));
  engine.Close();  // a second Close does nothing
  EXPECT_EQ(output->closes, 1);
  // The same device serves the next Init.
  ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  EXPECT_EQ(output->opens, 2);
}

TEST(SoundEngineThreads, CallsFromOtherThreadsWhileTheEngineMixes) {
  SoundEngine engine;
  RecordingOutput* output = new RecordingOutput;
  output->freeRunning = true;
  ASSERT_TRUE(engine.SetOutputDevice(std::unique_ptr<SoundOutput>(output)));
  ASSERT_TRUE(engine.SetBufferSize(20));
  ASSERT_TRUE(engine.Init(44100, 2, kSoundInitGlobalFocus));
  const std::vector<uint8_t> wav = MakeWav(Ramp(500, 1));
  std::atomic<int> ends{0};
  // Streams end, are paused, stopped and closed while the mixer runs.
  auto churn = [&] {
    for (int i = 0; i < 150; ++i) {
      const SoundStreamHandle stream = engine.StreamOpen(
          reinterpret_cast<const char*>(wav.data()), kMemory, 0, static_cast<int>(wav.size()));
      ASSERT_NE(stream, 0u);
      engine.StreamSetEndCallback(
          stream, [](SoundStreamHandle, void* data) { ++*static_cast<std::atomic<int>*>(data); },
          &ends);
      engine.StreamPlay(kSoundFree, stream);
      engine.SetPaused(kSoundAllChannels, i % 3 == 0);
      engine.SetVolume(kSoundAllChannels, i % 256);
      if (i % 2 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      engine.StreamStop(stream);
      // Only this thread closes its handles: they must still be known.
      EXPECT_TRUE(engine.StreamClose(stream));
    }
  };
  std::thread other(churn);
  churn();
  other.join();
  engine.Close();
  EXPECT_GT(output->Blocks(), 0u);
}

}  // namespace
