// The two playback engines as the music player sees them. The sequencer
// only ever talks to these interfaces, so it runs natively against fakes;
// in the program SoundEngine (our streaming engine) and AudioStream (the
// DirectShow player) implement them.
#pragma once

#include <cstdint>

// Values of the streaming engine's calls.
const int kSoundFree = -1;        // StreamPlay: any free channel
const int kSoundAllChannels = -3; // SetPan / SetVolume: every channel
const int kSoundStereoPan = -1;   // SetPan: full stereo, no panning
const int kSoundOutputWinMM = 1;  // SetOutput: WinMM waveOut
const unsigned kSoundInitGlobalFocus = 2;
const unsigned kSoundNormal = 0x130;
const unsigned kSound2D = 0x2000;
const unsigned kSoundLoadMemory = 0x8000;  // StreamOpen: the name is the data

// An open stream of the streaming engine; 0 is none. A handle stays unique
// for the engine's lifetime, so a stale one is refused, never reused.
typedef uint32_t SoundStreamHandle;

// Called on the engine's own thread when a stream has played to its end,
// with no engine lock held: it may stop and close that stream and open and
// play another.
typedef void (*SoundEndCallback)(SoundStreamHandle stream, void* data);

class StreamLibrary {
 public:
  virtual ~StreamLibrary() = default;
  virtual bool SetBufferSize(int milliseconds) = 0;
  virtual bool SetDriver(int driver) = 0;
  virtual bool SetOutput(int output) = 0;
  // Opens the output device and starts the engine's thread; false when
  // there is no device.
  virtual bool Init(int mixRate, int maxChannels, unsigned flags) = 0;
  virtual void Close() = 0;
  virtual bool SetPan(int channel, int pan) = 0;
  virtual bool SetVolume(int channel, int volume) = 0;  // 0-255
  virtual bool SetPaused(int channel, bool paused) = 0;
  // `nameOrData` is a path, or with kSoundLoadMemory the first of `length`
  // bytes (copied: the caller may free them afterwards). 0 on failure.
  virtual SoundStreamHandle StreamOpen(const char* nameOrData, unsigned mode, int offset,
                                       int length) = 0;
  // The channel it plays on, -1 when none is free or the stream is unknown.
  virtual int StreamPlay(int channel, SoundStreamHandle stream) = 0;
  virtual bool StreamStop(SoundStreamHandle stream) = 0;
  virtual bool StreamClose(SoundStreamHandle stream) = 0;
  virtual bool StreamSetEndCallback(SoundStreamHandle stream, SoundEndCallback callback,
                                    void* data) = 0;
  // True when the stream ended because it could not be decoded further (a
  // damaged or truncated file), rather than at its end.
  virtual bool StreamFailed(SoundStreamHandle) { return false; }
};

// Called as callback(serial, data) when a DirectShow stream completed, and
// with serial -1 when a stream is torn down with its callback registered.
typedef void (*MediaEndCallback)(int serial, void* data);

class MediaStreamPlayer {
 public:
  virtual ~MediaStreamPlayer() = default;
  // The new stream's serial, or 0 when the file cannot be played.
  virtual int Open(const char* path, MediaEndCallback callback, void* data) = 0;
  // False (0) when not playing afterwards; a stale serial is ignored.
  virtual bool Play(int serial, bool loop) = 0;
  virtual void Pause(int serial) = 0;
  virtual void Stop(int serial) = 0;
  virtual void SetVolume(int level) = 0;  // 0-255
  // True when the stream of that serial ended by an error (the graph
  // aborted) rather than at its end.
  virtual bool Aborted(int) const { return false; }
};
