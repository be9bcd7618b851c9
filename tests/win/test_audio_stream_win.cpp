// The DirectShow stream and our streaming engine on the real system.
// Without a sound device (the usual case under ctest) only what does not
// need one runs: the volume mapping, failed opens, stale serials, the
// notify message and window class, and Init failing cleanly.
//
// With ZV_AUDIO_DEVICE=1 (a PulseAudio server Wine can reach) the engine
// plays a generated WAV through waveOut, and with ZV_AUDIO_MP3 naming an
// MP3 file AudioStream plays it and reports its end, also when opened from
// the engine's end callback on the engine thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio_stream_win32.h"
#include "audio/sound_engine.h"
#include "tests/support/sound_fakes.h"

namespace {

struct CallbackLog {
  std::vector<int> serials;
  std::vector<DWORD> threads;
};

void RecordEnd(int serial, void* data) {
  CallbackLog& log = *static_cast<CallbackLog*>(data);
  log.serials.push_back(serial);
  log.threads.push_back(GetCurrentThreadId());
}

TEST(AudioStreamWin, VolumeMapsLevelsOntoMinus2500ToZero) {
  EXPECT_EQ(AudioStream::VolumeForLevel(0), -2500);
  EXPECT_EQ(AudioStream::VolumeForLevel(1), -2491);
  EXPECT_EQ(AudioStream::VolumeForLevel(128), -1246);
  EXPECT_EQ(AudioStream::VolumeForLevel(254), -10);
  EXPECT_EQ(AudioStream::VolumeForLevel(255), 0);
  EXPECT_EQ(AudioStream::VolumeForLevel(-5), -2500);
  EXPECT_EQ(AudioStream::VolumeForLevel(300), 0);
  AudioStream stream;
  EXPECT_EQ(stream.Volume(), 0);
  stream.SetVolume(128);  // no stream open: kept for the next one
  EXPECT_EQ(stream.Volume(), -1246);
  EXPECT_EQ(stream.SavedVolume(), AudioStream::kNoSavedVolume);
}

TEST(AudioStreamWin, NotifyMessageIsRegisteredOnce) {
  const UINT message = AudioStream::NotifyMessage();
  EXPECT_GE(message, 0xC000u);
  EXPECT_EQ(AudioStream::NotifyMessage(), message);
  EXPECT_EQ(RegisterWindowMessageA("AudioStream Notify"), message);
}

TEST(AudioStreamWin, OpenOfAMissingFileFailsAndLeavesNoStream) {
  CallbackLog log;  // outlives the stream, whose teardown reports to it
  AudioStream stream;
  EXPECT_EQ(stream.Open("C:\\no such folder\\no such track.mp3", RecordEnd, &log), 0);
  EXPECT_EQ(stream.Serial(), 1);
  EXPECT_FALSE(stream.HasGraph());
  EXPECT_FALSE(stream.IsPlaying());
  EXPECT_EQ(stream.NotifyWindow(), nullptr);
  // The failed stream is torn down with its callback registered.
  EXPECT_EQ(log.serials, std::vector<int>{-1});
  // Its window class was registered as the player's.
  WNDCLASSA windowClass = {};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "AudioStream Notify Window", &windowClass));
  EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_DBLCLKS));

  // A name longer than the 260-character buffer is refused, not cut.
  const std::string longName = "C:\\" + std::string(300, 'a') + ".mp3";
  EXPECT_EQ(stream.Open(longName.c_str(), nullptr, nullptr), 0);
  EXPECT_EQ(stream.Open(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(stream.Serial(), 3);
  EXPECT_EQ(log.serials.size(), 1u);
}

TEST(AudioStreamWin, StaleSerialsAreIgnored) {
  AudioStream stream;
  EXPECT_FALSE(stream.Play(5, false));
  EXPECT_FALSE(stream.Play(0, false));  // nothing was ever opened
  ASSERT_EQ(stream.Open("C:\\missing.wma", nullptr, nullptr), 0);
  EXPECT_FALSE(stream.Play(0, false));
  stream.Pause(0);
  stream.Stop(0);
  // The current serial of a failed open has no file to rebuild from.
  EXPECT_FALSE(stream.Play(1, true));
  EXPECT_FALSE(stream.HasGraph());
  EXPECT_EQ(stream.Serial(), 1);
}

TEST(AudioStreamWin, TheSingletonIsMadeOnFirstUseAndDestroyedOnRequest) {
  AudioStream::Destroy();
  ASSERT_EQ(AudioStream::Existing(), nullptr);
  AudioStream* first = AudioStream::Instance();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(AudioStream::Instance(), first);
  EXPECT_EQ(AudioStream::Existing(), first);
  AudioStream::Destroy();
  EXPECT_EQ(AudioStream::Existing(), nullptr);
  AudioStream::Destroy();  // nothing left to destroy
  EXPECT_EQ(AudioStream::Existing(), nullptr);
}

TEST(SoundEngineWin, InitFailsCleanlyWithoutADevice) {
  SoundEngine engine;
  EXPECT_TRUE(engine.SetBufferSize(250));
  EXPECT_TRUE(engine.SetDriver(0));
  EXPECT_TRUE(engine.SetOutput(kSoundOutputWinMM));
  const bool haveDevice = waveOutGetNumDevs() > 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(engine.Init(44100, 1, kSoundInitGlobalFocus), haveDevice);
    EXPECT_EQ(engine.IsInitialised(), haveDevice);
    if (!haveDevice) {
      const std::vector<uint8_t> wav = MakeWav(Ramp(1000, 1));
      EXPECT_EQ(engine.StreamOpen(reinterpret_cast<const char*>(wav.data()),
                                  kSoundNormal | kSound2D | kSoundLoadMemory, 0,
                                  static_cast<int>(wav.size())),
                0u);
    }
    engine.Close();
    EXPECT_FALSE(engine.IsInitialised());
  }
}

// ---- Needs a sound device: ZV_AUDIO_DEVICE=1 ----

bool DeviceTestsWanted() {
  const char* wanted = std::getenv("ZV_AUDIO_DEVICE");
  return wanted != nullptr && std::string(wanted) == "1";
}

// ZV_AUDIO_MP3, or the test tone made at build time (through Wine's Z: drive).
std::string Mp3Path() {
  const char* path = std::getenv("ZV_AUDIO_MP3");
  if (path != nullptr) return path;
#ifdef ZV_AUDIO_SAMPLES_DIR
  return std::string("Z:") + ZV_AUDIO_SAMPLES_DIR + "/tone440_44100_stereo.mp3";
#else
  return "";
#endif
}

// Stereo sine of `seconds` at `frequency`, half of full scale.
std::vector<uint8_t> ToneWav(double frequency, double seconds) {
  const size_t frames = static_cast<size_t>(44100 * seconds);
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    const int16_t value =
        static_cast<int16_t>(16000 * std::sin(2 * 3.14159265358979 * frequency * i / 44100.0));
    samples.push_back(value);
    samples.push_back(value);
  }
  return MakeWav(samples);
}

// Dispatches this thread's messages until `done` or the time limit.
bool PumpUntil(const std::atomic<bool>& done, DWORD timeoutMs) {
  const DWORD begin = GetTickCount();
  while (!done && GetTickCount() - begin < timeoutMs) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done;
}

// Pumps this thread's messages until `log` holds `count` calls.
bool WaitForEnds(const CallbackLog& log, size_t count, DWORD timeoutMs) {
  const DWORD begin = GetTickCount();
  std::atomic<bool> never{false};
  while (log.serials.size() < count && GetTickCount() - begin < timeoutMs) PumpUntil(never, 20);
  return log.serials.size() >= count;
}

struct EngineEnd {
  std::atomic<bool> ended{false};
  std::atomic<DWORD> thread{0};
  std::atomic<DWORD> at{0};
};

void NoteEngineEnd(SoundStreamHandle, void* data) {
  EngineEnd& end = *static_cast<EngineEnd*>(data);
  end.thread = GetCurrentThreadId();
  end.at = GetTickCount();
  end.ended = true;
}

TEST(SoundDeviceWin, EnginePlaysAWavThroughWaveOut) {
  if (!DeviceTestsWanted()) GTEST_SKIP() << "set ZV_AUDIO_DEVICE=1 with a sound server running";
  SoundEngine engine;
  ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  ASSERT_TRUE(engine.SetPan(kSoundAllChannels, kSoundStereoPan));
  ASSERT_TRUE(engine.SetVolume(kSoundAllChannels, 255));
  const std::vector<uint8_t> wav = ToneWav(440, 1.5);
  const SoundStreamHandle stream =
      engine.StreamOpen(reinterpret_cast<const char*>(wav.data()),
                        kSoundNormal | kSound2D | kSoundLoadMemory, 0, static_cast<int>(wav.size()));
  ASSERT_NE(stream, 0u);
  EngineEnd end;
  ASSERT_TRUE(engine.StreamSetEndCallback(stream, NoteEngineEnd, &end));
  const DWORD begin = GetTickCount();
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(PumpUntil(end.ended, 6000));
  // Ends once handed over: the buffer (250 ms) is still to be heard.
  // Not before the sound could have played; how much later depends on the
  // machine's load, which the wait above bounds.
  const DWORD took = end.at - begin;
  EXPECT_GE(took, 1000u);
  EXPECT_NE(end.thread, GetCurrentThreadId());
  Sleep(500);  // let the tail play for the recording
  engine.Close();
}

TEST(SoundDeviceWin, AudioStreamPlaysAnMp3AndReportsItsEnd) {
  if (!DeviceTestsWanted() || Mp3Path().empty())
    GTEST_SKIP() << "set ZV_AUDIO_DEVICE=1 and ZV_AUDIO_MP3";
  CallbackLog log;  // outlives the stream, whose teardown reports to it
  AudioStream stream;
  stream.SetVolume(255);
  const int serial = stream.Open(Mp3Path().c_str(), RecordEnd, &log);
  ASSERT_GT(serial, 0);
  EXPECT_TRUE(stream.IsPlaying());
  ASSERT_NE(stream.NotifyWindow(), nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(stream.NotifyWindow(), nullptr), GetCurrentThreadId());
  EXPECT_LE(stream.SavedVolume(), 0);
  EXPECT_FALSE(stream.Play(serial + 1, false));
  ASSERT_TRUE(stream.Play(serial, false));
  ASSERT_TRUE(WaitForEnds(log, 1, 15000));
  ASSERT_EQ(log.serials, std::vector<int>{serial});
  EXPECT_EQ(log.threads[0], GetCurrentThreadId());
  Sleep(400);  // EC_COMPLETE comes a little before the sound ends

  // Stopped, Play builds the graph again for the same file and serial.
  stream.Stop(serial);
  EXPECT_FALSE(stream.IsPlaying());
  ASSERT_TRUE(stream.Play(serial, false));
  ASSERT_TRUE(WaitForEnds(log, 2, 15000));
  EXPECT_EQ(log.serials, (std::vector<int>{serial, serial}));
  Sleep(400);
  // Opening the next stream with the same callback does not report -1.
  const int next = stream.Open(Mp3Path().c_str(), RecordEnd, &log);
  ASSERT_EQ(next, serial + 1);
  EXPECT_EQ(log.serials.size(), 2u);
  EXPECT_FALSE(stream.Play(serial, false));  // stale now

  // Paused and resumed: the recording shows whether it went on in place.
  const DWORD begin = GetTickCount();
  ASSERT_TRUE(stream.Play(next, false));
  Sleep(800);
  stream.Pause(next);
  Sleep(700);
  ASSERT_TRUE(stream.Play(next, false));
  ASSERT_TRUE(WaitForEnds(log, 3, 15000));
  EXPECT_EQ(log.serials.back(), next);
  const DWORD took = GetTickCount() - begin;
  printf("paused stream ended after %lu ms\n", static_cast<unsigned long>(took));
  Sleep(400);
}

// The music player's chain: the engine's end callback, on the engine
// thread, opens the next track through AudioStream; that stream's events
// then come through the engine thread's message pump.
struct Chain {
  SoundEngine* engine = nullptr;
  AudioStream* media = nullptr;
  std::atomic<DWORD> engineThread{0};
  std::atomic<int> serial{0};
  std::atomic<bool> started{false};
  std::atomic<bool> completed{false};
  std::atomic<DWORD> completedOn{0};
  std::atomic<bool> tornDown{false};
};

void MediaEnded(int serial, void* data) {
  Chain& chain = *static_cast<Chain*>(data);
  if (serial == -1) {
    chain.tornDown = true;
    return;
  }
  chain.completedOn = GetCurrentThreadId();
  chain.completed = true;
}

void WavEnded(SoundStreamHandle stream, void* data) {
  Chain& chain = *static_cast<Chain*>(data);
  chain.engineThread = GetCurrentThreadId();
  chain.engine->StreamClose(stream);
  const int serial = chain.media->Open(Mp3Path().c_str(), MediaEnded, &chain);
  chain.serial = serial;
  chain.started = serial > 0 && chain.media->Play(serial, false);
}

TEST(SoundDeviceWin, EndCallbackOnTheEngineThreadStartsADirectShowStream) {
  if (!DeviceTestsWanted() || Mp3Path().empty())
    GTEST_SKIP() << "set ZV_AUDIO_DEVICE=1 and ZV_AUDIO_MP3";
  Chain chain;  // outlives the engine and the stream, which report to it
  SoundEngine engine;
  AudioStream media;
  chain.engine = &engine;
  chain.media = &media;
  ASSERT_TRUE(engine.Init(44100, 1, kSoundInitGlobalFocus));
  const std::vector<uint8_t> wav = ToneWav(660, 1.0);
  const SoundStreamHandle stream =
      engine.StreamOpen(reinterpret_cast<const char*>(wav.data()),
                        kSoundNormal | kSound2D | kSoundLoadMemory, 0, static_cast<int>(wav.size()));
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(engine.StreamSetEndCallback(stream, WavEnded, &chain));
  ASSERT_EQ(engine.StreamPlay(kSoundFree, stream), 0);
  ASSERT_TRUE(PumpUntil(chain.completed, 20000));
  EXPECT_TRUE(chain.started);
  EXPECT_NE(chain.engineThread, GetCurrentThreadId());
  EXPECT_EQ(chain.completedOn, chain.engineThread);
  Sleep(400);
  // The saver's shutdown order: the media stream stopped, the engine closed
  // (its thread ends, taking the notify window with it), and only then the
  // stream torn down from the main thread.
  media.Stop(chain.serial);
  engine.Close();
  EXPECT_EQ(media.Open(nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(chain.tornDown);
}

}  // namespace
