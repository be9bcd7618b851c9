// Our streaming engine: decodes whole files or memory blocks (WAV, Ogg
// Vorbis, MPEG audio), mixes the playing channels into 16-bit stereo blocks
// on a thread of its own and writes them to the output device.
//
//   Init ──> engine thread:  wait for a free block ─> mix (engine lock)
//                            ─> queue the block ─> end callbacks (no lock)
//
// The buffer (SetBufferSize, 250 ms by default) is split into kBlockCount
// blocks, so at most that much mixed audio is queued ahead: a pause or a
// volume change is heard once the blocks already queued have played.
//
// Streams and channels: StreamOpen reads and converts a source into a
// stream (a handle, never reused); StreamPlay puts it on a channel, where
// it plays until its decoder is exhausted. Then the channel is free again
// and the stream's end callback runs once, on the engine thread, after the
// block holding its last samples was queued. A stream that played to its
// end, or was stopped, does not start again: open it anew.
//
// Every public operation may be called from any thread, including from an
// end callback, except Close, which waits for the engine thread and so is
// refused on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "audio/audio_decoder.h"
#include "audio/music_engines.h"
#include "audio/sound_output.h"
#include "foundation/thread.h"

class SoundEngine : public StreamLibrary {
 public:
  // The buffer is split into this many blocks.
  static constexpr int kBlockCount = 4;
  static constexpr int kDefaultBufferMs = 250;
  static constexpr int kMaxChannels = 64;

  SoundEngine();
  // Closes the engine if it is still running.
  ~SoundEngine() override;
  SoundEngine(const SoundEngine&) = delete;
  SoundEngine& operator=(const SoundEngine&) = delete;

  // Device used by the next Init instead of the one for SetOutput's value;
  // it stays with the engine for later Inits. Refused while initialised.
  bool SetOutputDevice(std::unique_ptr<SoundOutput> device);

  // Before Init only (false afterwards). The buffer takes 20-5000 ms; the
  // driver 0 (the system's default device); the output kSoundOutputWinMM.
  bool SetBufferSize(int milliseconds) override;
  bool SetDriver(int driver) override;
  bool SetOutput(int output) override;
  // Opens the device at mixRate, 16-bit stereo, with maxChannels channels
  // (1..kMaxChannels), and starts the engine thread. False when already
  // initialised, for arguments out of range, or without a device.
  bool Init(int mixRate, int maxChannels, unsigned flags) override;
  // Stops the thread, closes every stream and the device. No end
  // callback runs for the streams it closes.
  void Close() override;
  bool IsInitialised() const;

  // Channel settings stay with the channel across streams; `channel` may be
  // kSoundAllChannels. Pan 0 (left) ..128 (centre) ..255 (right), or
  // kSoundStereoPan for none; volume 0 (silent) ..255 (as decoded), a
  // linear gain of volume / 255. A pause holds the stream where it is;
  // StreamPlay on a channel lifts its pause.
  bool SetPan(int channel, int pan) override;
  bool SetVolume(int channel, int volume) override;
  bool SetPaused(int channel, bool paused) override;

  // `mode` may hold kSoundLoadMemory: then nameOrData is `length` bytes of
  // data (copied), else a path whose first `length` bytes are used (0: the
  // whole file). The first `offset` bytes are skipped. The read and the
  // decoding set-up happen outside the engine lock. 0 when not
  // initialised, the file cannot be read, or no decoder accepts the data.
  SoundStreamHandle StreamOpen(const char* nameOrData, unsigned mode, int offset,
                               int length) override;
  // kSoundFree takes the first free channel; a channel number takes that
  // channel, stopping whatever played there. A stream already playing
  // keeps its channel. -1 for an unknown, finished or stopped stream, or
  // when no channel is free.
  int StreamPlay(int channel, SoundStreamHandle stream) override;
  bool StreamStop(SoundStreamHandle stream) override;
  bool StreamClose(SoundStreamHandle stream) override;
  bool StreamSetEndCallback(SoundStreamHandle stream, SoundEndCallback callback,
                            void* data) override;
  bool StreamFailed(SoundStreamHandle stream) override;

  // Frames per block once initialised (0 before).
  size_t BlockFrames() const;

 private:
  struct Stream {
    std::unique_ptr<AudioDecoder> decoder;
    int channel = -1;      // -1 when not on a channel
    bool finished = false; // played to its end or stopped
    bool failed = false;   // ended because its decoder failed
    SoundEndCallback callback = nullptr;
    void* callbackData = nullptr;
  };
  struct Channel {
    SoundStreamHandle stream = 0;  // 0 when free
    int volume = 255;
    int pan = kSoundStereoPan;
    bool paused = false;
  };
  struct EndNotice {
    SoundStreamHandle stream;
    SoundEndCallback callback;
    void* data;
  };

  class MixerThread : public cThread {
   public:
    explicit MixerThread(SoundEngine& engine) : engine_(engine) {}
    ~MixerThread() override { Stop(); }
    int Run() override;

   private:
    SoundEngine& engine_;
  };

  void RunMixer(const std::atomic<bool>& running);
  // Mixes one block of every playing channel; streams that ran out are
  // taken off their channels and listed in `ended`.
  void MixBlock(std::vector<EndNotice>& ended);
  // One channel's stream added into mix_; false when its decoder ran out.
  bool MixChannel(const Channel& channel, Stream& stream);
  Stream* FindStream(SoundStreamHandle handle);
  void TakeOffChannel(Stream& stream);
  // Applies `change` to one channel or, for kSoundAllChannels, to all.
  template <typename Change>
  bool ForChannels(int channel, Change change);
  bool OnEngineThread() const;

  mutable cMonitor lock_;
  MixerThread thread_;
  std::atomic<std::thread::id> engineThread_{};
  std::unique_ptr<SoundOutput> device_;
  bool deviceInjected_ = false;
  int bufferMs_ = kDefaultBufferMs;
  int output_ = kSoundOutputWinMM;
  bool initialised_ = false;
  int mixRate_ = 0;
  size_t blockFrames_ = 0;
  std::vector<Channel> channels_;
  std::map<SoundStreamHandle, std::unique_ptr<Stream>> streams_;
  SoundStreamHandle lastHandle_ = 0;
  // Work areas of the engine thread, sized at Init.
  std::vector<int32_t> mix_;
  std::vector<int16_t> decoded_;
  std::vector<int16_t> block_;
};

// The program's one engine.
SoundEngine& TheSoundEngine();
