// Test helpers for the streaming engine: RIFF WAVE bytes made in memory,
// and a sound device that records every mixed block, letting the test
// decide when the engine may queue the next one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/sound_output.h"

// 16-bit PCM WAVE with interleaved `samples`.
inline std::vector<uint8_t> MakeWav(const std::vector<int16_t>& samples, int rate = 44100,
                                    int channels = 2) {
  std::vector<uint8_t> bytes;
  auto put32 = [&bytes](uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  auto put16 = [&bytes](uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
  };
  auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF");
  put32(36 + dataBytes);
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);
  put16(static_cast<uint16_t>(channels));
  put32(static_cast<uint32_t>(rate));
  put32(static_cast<uint32_t>(rate * channels * 2));
  put16(static_cast<uint16_t>(channels * 2));
  put16(16);
  tag("data");
  put32(dataBytes);
  for (int16_t sample : samples) put16(static_cast<uint16_t>(sample));
  return bytes;
}

// `frames` stereo frames: left = base + frame index, right = -left, so
// every frame of a source is recognisable in the mix.
inline std::vector<int16_t> Ramp(size_t frames, int base) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    const int value = static_cast<int>((base + static_cast<int>(i)) % 30000);
    samples.push_back(static_cast<int16_t>(value));
    samples.push_back(static_cast<int16_t>(-value));
  }
  return samples;
}

class RecordingOutput : public SoundOutput {
 public:
  bool Open(int rate, int channels, size_t blockFrames, int blockCount) override {
    std::lock_guard<std::mutex> hold(mutex_);
    ++opens;
    this->rate = rate;
    this->channels = channels;
    this->blockFrames = blockFrames;
    this->blockCount = blockCount;
    isOpen = openWorks;
    return openWorks;
  }

  bool WaitForFreeBlock(uint32_t timeoutMs) override {
    std::unique_lock<std::mutex> hold(mutex_);
    if (freeRunning) {
      hold.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return true;
    }
    if (!changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                           [this] { return credits_ > 0; }))
      return false;
    --credits_;
    return true;
  }

  void QueueBlock(const int16_t* samples, size_t frames) override {
    std::lock_guard<std::mutex> hold(mutex_);
    recorded_.insert(recorded_.end(), samples, samples + frames * channels);
    ++blocks_;
    changed_.notify_all();
  }

  void Close() override {
    std::lock_guard<std::mutex> hold(mutex_);
    isOpen = false;
    ++closes;
  }

  void ThreadStarted() override {
    std::lock_guard<std::mutex> hold(mutex_);
    engineThread = std::this_thread::get_id();
    ++threadStarts;
  }
  void ThreadEnded() override {
    std::lock_guard<std::mutex> hold(mutex_);
    ++threadEnds;
  }

  // Lets the engine queue `count` more blocks and waits until it has;
  // false when it did not within the time limit.
  bool Pump(int count, int timeoutMs = 5000) {
    std::unique_lock<std::mutex> hold(mutex_);
    const size_t target = blocks_ + static_cast<size_t>(count);
    credits_ += count;
    changed_.notify_all();
    return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                             [this, target] { return blocks_ >= target; });
  }

  size_t Blocks() {
    std::lock_guard<std::mutex> hold(mutex_);
    return blocks_;
  }
  std::vector<int16_t> Recorded() {
    std::lock_guard<std::mutex> hold(mutex_);
    return recorded_;
  }
  // The samples of block `index` (0 = the first queued).
  std::vector<int16_t> Block(size_t index) {
    std::lock_guard<std::mutex> hold(mutex_);
    const size_t size = blockFrames * static_cast<size_t>(channels);
    if ((index + 1) * size > recorded_.size()) return {};
    return std::vector<int16_t>(recorded_.begin() + static_cast<long>(index * size),
                                recorded_.begin() + static_cast<long>((index + 1) * size));
  }

  // Set before Init; read after the engine is closed or under the calls.
  bool openWorks = true;
  bool freeRunning = false;
  int opens = 0, closes = 0, threadStarts = 0, threadEnds = 0;
  int rate = 0, channels = 0, blockCount = 0;
  size_t blockFrames = 0;
  bool isOpen = false;
  std::thread::id engineThread;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int credits_ = 0;
  size_t blocks_ = 0;
  std::vector<int16_t> recorded_;
};
