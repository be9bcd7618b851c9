// The device our streaming engine writes its mixed blocks to. The engine
// opens it from the caller's thread, then only its own thread waits for a
// free block and queues the next one; it closes the device after that
// thread has ended. On Windows this is WinMM waveOut; natively there is no
// device and tests hand the engine a recorder of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;

  // 16-bit interleaved PCM at `rate` with `channels`, queued in up to
  // `blockCount` blocks of `blockFrames` frames. False when there is no
  // device or it refuses the format.
  virtual bool Open(int rate, int channels, size_t blockFrames, int blockCount) = 0;
  // Blocks until another block may be queued (true) or `timeoutMs` passed
  // (false), so the engine's thread can notice a stop request.
  virtual bool WaitForFreeBlock(uint32_t timeoutMs) = 0;
  // Hands over one block of at most blockFrames frames; copied.
  virtual void QueueBlock(const int16_t* samples, size_t frames) = 0;
  // Drops what is still queued and releases the device.
  virtual void Close() = 0;

  // Run on the engine's thread when it starts and just before it ends.
  virtual void ThreadStarted() {}
  virtual void ThreadEnded() {}
};

// The device for one of the kSoundOutput* values; null when that output
// does not exist on this platform.
std::unique_ptr<SoundOutput> CreateSoundOutput(int output);
