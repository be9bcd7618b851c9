// WinMM waveOut behind SoundOutput: the system's default device
// (WAVE_MAPPER), a ring of prepared headers, and an event the driver sets
// whenever it has finished a block.
//
// The engine thread also runs our end callbacks, and they may open
// DirectShow streams: those need COM on this thread, and their notify
// window then belongs to it, so while it waits for a free block the thread
// keeps its own message queue moving.
#include "audio/sound_output.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/music_engines.h"

namespace {

class WaveOutOutput : public SoundOutput {
 public:
  ~WaveOutOutput() override { Close(); }

  bool Open(int rate, int channels, size_t blockFrames, int blockCount) override;
  bool WaitForFreeBlock(uint32_t timeoutMs) override;
  void QueueBlock(const int16_t* samples, size_t frames) override;
  void Close() override;
  void ThreadStarted() override { comStarted_ = SUCCEEDED(CoInitialize(nullptr)); }
  void ThreadEnded() override {
    if (comStarted_) CoUninitialize();
    comStarted_ = false;
  }

 private:
  struct Block {
    WAVEHDR header;
    std::vector<int16_t> samples;
    bool queued = false;
  };

  // The next block in ring order once the device is done with it.
  Block* FreeBlock();
  static void PumpMessages();

  HWAVEOUT device_ = nullptr;
  HANDLE done_ = nullptr;
  std::vector<Block> blocks_;
  size_t next_ = 0;
  int channels_ = 0;
  int rate_ = 1;
  bool comStarted_ = false;
};

bool WaveOutOutput::Open(int rate, int channels, size_t blockFrames, int blockCount) {
  if (device_ != nullptr || blockCount < 1 || blockFrames == 0) return false;
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(channels * 2);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  // Auto-reset: each wait sleeps until the driver finishes another block.
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (done_ == nullptr) return false;
  if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    device_ = nullptr;
    CloseHandle(done_);
    done_ = nullptr;
    return false;
  }
  channels_ = channels;
  rate_ = rate;
  blocks_ = std::vector<Block>(static_cast<size_t>(blockCount));
  for (Block& block : blocks_) {
    block.samples.assign(blockFrames * static_cast<size_t>(channels), 0);
    std::memset(&block.header, 0, sizeof(block.header));
    block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
    block.header.dwBufferLength = static_cast<DWORD>(block.samples.size() * sizeof(int16_t));
    if (waveOutPrepareHeader(device_, &block.header, sizeof(block.header)) != MMSYSERR_NOERROR) {
      Close();
      return false;
    }
  }
  next_ = 0;
  return true;
}

WaveOutOutput::Block* WaveOutOutput::FreeBlock() {
  if (blocks_.empty()) return nullptr;
  Block& block = blocks_[next_];
  if (block.queued && (block.header.dwFlags & WHDR_DONE) == 0) return nullptr;
  return &block;
}

void WaveOutOutput::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // A quit request is meant for the program's main loop, not for us.
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool WaveOutOutput::WaitForFreeBlock(uint32_t timeoutMs) {
  const DWORD begin = GetTickCount();
  for (;;) {
    PumpMessages();
    if (FreeBlock() != nullptr) return true;
    const DWORD waited = GetTickCount() - begin;
    if (waited >= timeoutMs) return false;
    MsgWaitForMultipleObjects(1, &done_, FALSE, timeoutMs - waited, QS_ALLINPUT);
  }
}

void WaveOutOutput::QueueBlock(const int16_t* samples, size_t frames) {
  Block* block = FreeBlock();
  if (block == nullptr) return;
  const size_t count = std::min(frames * static_cast<size_t>(channels_), block->samples.size());
  std::memcpy(block->samples.data(), samples, count * sizeof(int16_t));
  block->header.dwBufferLength = static_cast<DWORD>(count * sizeof(int16_t));
  block->header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  if (waveOutWrite(device_, &block->header, sizeof(block->header)) != MMSYSERR_NOERROR) {
    // A device gone away: keep real time, so streams still end when they
    // would have and the engine does not spin.
    Sleep(static_cast<DWORD>(frames * 1000 / static_cast<size_t>(rate_)));
    return;
  }
  block->queued = true;
  next_ = (next_ + 1) % blocks_.size();
}

void WaveOutOutput::Close() {
  if (device_ != nullptr) {
    // Returns every queued block to us, marked done, so all unprepare.
    waveOutReset(device_);
    for (Block& block : blocks_) {
      if ((block.header.dwFlags & WHDR_PREPARED) != 0)
        waveOutUnprepareHeader(device_, &block.header, sizeof(block.header));
    }
    waveOutClose(device_);
    device_ = nullptr;
  }
  blocks_.clear();
  if (done_ != nullptr) CloseHandle(done_);
  done_ = nullptr;
}

}  // namespace

std::unique_ptr<SoundOutput> CreateSoundOutput(int output) {
  if (output != kSoundOutputWinMM) return nullptr;
  return std::unique_ptr<SoundOutput>(new WaveOutOutput);
}
