#include "audio/sound_engine.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

#include "audio/audio_bytes.h"

namespace {

const int kOutputChannels = 2;
const int kMinBufferMs = 20;
const int kMaxBufferMs = 5000;
const int kMinMixRate = 8000;
const int kMaxMixRate = 192000;
// How long the engine thread waits for the device before it looks at its
// stop request again; bounds how long Close waits.
const uint32_t kFreeBlockWaitMs = 100;
// THREAD_PRIORITY_HIGHEST: the mixer must stay ahead of the device while
// the main thread draws flat out; it needs little time when it runs.
const int kMixerPriority = 2;
// Larger sources are refused rather than risking the whole address space.
const size_t kMaxSourceBytes = 512 * 1024 * 1024;
const int kFullGain = 255;

// The bytes [offset, length) of a file (length 0: up to its end), mapped
// rather than read: a track's change costs no more for a large file.
AudioBytes SourceBytes(const char* path, int offset, int length) {
  return AudioBytes::MapFile(path, static_cast<size_t>(offset), static_cast<size_t>(length), kMaxSourceBytes);
}

// Gain of one side out of kFullGain: a balance control, so the centre
// leaves both sides as decoded and each end silences the other side.
int PanGain(int pan, bool right) {
  if (pan == kSoundStereoPan) return kFullGain;
  if (right) return pan >= 128 ? kFullGain : pan * kFullGain / 128;
  return pan <= 128 ? kFullGain : (255 - pan) * kFullGain / 127;
}

}  // namespace

int SoundEngine::MixerThread::Run() {
  engine_.RunMixer(running);
  return 0;
}

SoundEngine::SoundEngine() : thread_(*this) {}

SoundEngine::~SoundEngine() { Close(); }

bool SoundEngine::SetOutputDevice(std::unique_ptr<SoundOutput> device) {
  cMonitorLock hold(lock_);
  if (initialised_) return false;
  device_ = std::move(device);
  deviceInjected_ = device_ != nullptr;
  return true;
}

bool SoundEngine::SetBufferSize(int milliseconds) {
  cMonitorLock hold(lock_);
  if (initialised_ || milliseconds < kMinBufferMs || milliseconds > kMaxBufferMs) return false;
  bufferMs_ = milliseconds;
  return true;
}

bool SoundEngine::SetDriver(int driver) {
  cMonitorLock hold(lock_);
  return !initialised_ && driver == 0;
}

bool SoundEngine::SetOutput(int output) {
  cMonitorLock hold(lock_);
  if (initialised_ || output != kSoundOutputWinMM) return false;
  output_ = output;
  return true;
}

bool SoundEngine::Init(int mixRate, int maxChannels, unsigned) {
  cMonitorLock hold(lock_);
  if (initialised_) return false;
  if (mixRate < kMinMixRate || mixRate > kMaxMixRate) return false;
  if (maxChannels < 1 || maxChannels > kMaxChannels) return false;
  if (!deviceInjected_) device_ = CreateSoundOutput(output_);
  if (device_ == nullptr) return false;
  const size_t blockFrames =
      std::max<size_t>(1, static_cast<size_t>(mixRate) * bufferMs_ / 1000 / kBlockCount);
  if (!device_->Open(mixRate, kOutputChannels, blockFrames, kBlockCount)) {
    if (!deviceInjected_) device_.reset();
    return false;
  }
  mixRate_ = mixRate;
  blockFrames_ = blockFrames;
  channels_.assign(static_cast<size_t>(maxChannels), Channel());
  mix_.assign(blockFrames * kOutputChannels, 0);
  decoded_.assign(blockFrames * kOutputChannels, 0);
  block_.assign(blockFrames * kOutputChannels, 0);
  initialised_ = true;
  // Created suspended; it waits for this lock before it mixes anything.
  if (!thread_.Start()) {
    initialised_ = false;
    device_->Close();
    if (!deviceInjected_) device_.reset();
    return false;
  }
  thread_.SetPriority(kMixerPriority);
  thread_.Resume();
  return true;
}

void SoundEngine::Close() {
  // The engine thread cannot wait for its own end.
  if (OnEngineThread()) return;
  // Not under the lock: the thread takes it to mix, and its end callbacks
  // call back in.
  thread_.Stop();
  cMonitorLock hold(lock_);
  if (!initialised_) return;
  initialised_ = false;
  streams_.clear();
  channels_.clear();
  device_->Close();
  if (!deviceInjected_) device_.reset();
  blockFrames_ = 0;
}

bool SoundEngine::IsInitialised() const {
  cMonitorLock hold(lock_);
  return initialised_;
}

size_t SoundEngine::BlockFrames() const {
  cMonitorLock hold(lock_);
  return blockFrames_;
}

template <typename Change>
bool SoundEngine::ForChannels(int channel, Change change) {
  cMonitorLock hold(lock_);
  if (channel == kSoundAllChannels) {
    for (Channel& each : channels_) change(each);
    return initialised_;
  }
  if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) return false;
  change(channels_[static_cast<size_t>(channel)]);
  return true;
}

bool SoundEngine::SetPan(int channel, int pan) {
  if (pan != kSoundStereoPan) pan = std::min(std::max(pan, 0), 255);
  return ForChannels(channel, [pan](Channel& each) { each.pan = pan; });
}

bool SoundEngine::SetVolume(int channel, int volume) {
  volume = std::min(std::max(volume, 0), 255);
  return ForChannels(channel, [volume](Channel& each) { each.volume = volume; });
}

bool SoundEngine::SetPaused(int channel, bool paused) {
  return ForChannels(channel, [paused](Channel& each) { each.paused = paused; });
}

SoundStreamHandle SoundEngine::StreamOpen(const char* nameOrData, unsigned mode, int offset,
                                          int length) {
  if (nameOrData == nullptr || offset < 0 || length < 0) return 0;
  int rate;
  {
    cMonitorLock hold(lock_);
    if (!initialised_) return 0;
    rate = mixRate_;
  }
  try {
    // Decoder set-up can take a while; the mixer goes on.
    AudioBytes bytes;
    if ((mode & kSoundLoadMemory) != 0) {
      if (length <= offset) return 0;
      const uint8_t* data = reinterpret_cast<const uint8_t*>(nameOrData);
      bytes = AudioBytes(std::vector<uint8_t>(data + offset, data + length));
    } else {
      bytes = SourceBytes(nameOrData, offset, length);
      if (bytes.empty()) return 0;
    }
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(std::move(bytes));
    if (decoder == nullptr) return 0;
    decoder = ConvertTo(std::move(decoder), PcmFormat{rate, kOutputChannels});
    if (decoder == nullptr) return 0;
    std::unique_ptr<Stream> stream(new Stream);
    stream->decoder = std::move(decoder);

    cMonitorLock hold(lock_);
    // Closed, or closed and opened again at another rate, meanwhile.
    if (!initialised_ || mixRate_ != rate) return 0;
    if (lastHandle_ == std::numeric_limits<SoundStreamHandle>::max()) return 0;
    const SoundStreamHandle handle = ++lastHandle_;
    streams_[handle] = std::move(stream);
    return handle;
  } catch (const std::exception&) {  // out of memory for a huge source
    return 0;
  }
}

SoundEngine::Stream* SoundEngine::FindStream(SoundStreamHandle handle) {
  auto found = streams_.find(handle);
  return found == streams_.end() ? nullptr : found->second.get();
}

void SoundEngine::TakeOffChannel(Stream& stream) {
  if (stream.channel < 0) return;
  channels_[static_cast<size_t>(stream.channel)].stream = 0;
  stream.channel = -1;
}

int SoundEngine::StreamPlay(int channel, SoundStreamHandle handle) {
  cMonitorLock hold(lock_);
  Stream* stream = FindStream(handle);
  if (stream == nullptr || stream->finished) return -1;
  if (stream->channel >= 0) return stream->channel;
  if (channel == kSoundFree) {
    auto free = std::find_if(channels_.begin(), channels_.end(),
                             [](const Channel& each) { return each.stream == 0; });
    if (free == channels_.end()) return -1;
    channel = static_cast<int>(free - channels_.begin());
  } else if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) {
    return -1;
  }
  Channel& target = channels_[static_cast<size_t>(channel)];
  if (target.stream != 0) StreamStop(target.stream);
  target.stream = handle;
  target.paused = false;
  stream->channel = channel;
  return channel;
}

bool SoundEngine::StreamStop(SoundStreamHandle handle) {
  cMonitorLock hold(lock_);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return false;
  if (stream->channel >= 0) stream->finished = true;
  TakeOffChannel(*stream);
  return true;
}

bool SoundEngine::StreamClose(SoundStreamHandle handle) {
  cMonitorLock hold(lock_);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return false;
  TakeOffChannel(*stream);
  streams_.erase(handle);
  return true;
}

bool SoundEngine::StreamFailed(SoundStreamHandle handle) {
  cMonitorLock hold(lock_);
  const Stream* stream = FindStream(handle);
  return stream != nullptr && stream->failed;
}

bool SoundEngine::StreamSetEndCallback(SoundStreamHandle handle, SoundEndCallback callback,
                                       void* data) {
  cMonitorLock hold(lock_);
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return false;
  stream->callback = callback;
  stream->callbackData = data;
  return true;
}

bool SoundEngine::OnEngineThread() const {
  return engineThread_.load() == std::this_thread::get_id();
}

void SoundEngine::RunMixer(const std::atomic<bool>& running) {
  engineThread_ = std::this_thread::get_id();
  // Only this thread uses the device until Close, which stops it first.
  SoundOutput& device = *device_;
  device.ThreadStarted();
  std::vector<EndNotice> ended;
  while (running) {
    if (!device.WaitForFreeBlock(kFreeBlockWaitMs)) continue;
    ended.clear();
    {
      cMonitorLock hold(lock_);
      MixBlock(ended);
    }
    device.QueueBlock(block_.data(), blockFrames_);
    // Without the lock: a callback may close its stream and start the next.
    for (const EndNotice& notice : ended) notice.callback(notice.stream, notice.data);
  }
  device.ThreadEnded();
  engineThread_ = std::thread::id();
}

void SoundEngine::MixBlock(std::vector<EndNotice>& ended) {
  std::fill(mix_.begin(), mix_.end(), 0);
  for (Channel& channel : channels_) {
    if (channel.stream == 0 || channel.paused) continue;
    const SoundStreamHandle handle = channel.stream;
    Stream* stream = FindStream(handle);
    if (stream == nullptr || MixChannel(channel, *stream)) continue;
    stream->finished = true;
    stream->failed = stream->decoder->Failed();
    TakeOffChannel(*stream);
    if (stream->callback != nullptr)
      ended.push_back(EndNotice{handle, stream->callback, stream->callbackData});
  }
  for (size_t i = 0; i < mix_.size(); ++i)
    block_[i] = static_cast<int16_t>(std::min(std::max(mix_[i], -32768), 32767));
}

bool SoundEngine::MixChannel(const Channel& channel, Stream& stream) {
  // Gains out of kFullGain * kFullGain, for the left and the right side.
  const int64_t gains[kOutputChannels] = {
      static_cast<int64_t>(channel.volume) * PanGain(channel.pan, false),
      static_cast<int64_t>(channel.volume) * PanGain(channel.pan, true)};
  const int64_t scale = static_cast<int64_t>(kFullGain) * kFullGain;
  size_t done = 0;
  while (done < blockFrames_) {
    const size_t got = stream.decoder->Read(decoded_.data(), blockFrames_ - done);
    if (got == 0) return false;
    for (size_t i = 0; i < got * kOutputChannels; ++i) {
      const int64_t sample = decoded_[i];
      mix_[done * kOutputChannels + i] +=
          static_cast<int32_t>(sample * gains[i % kOutputChannels] / scale);
    }
    done += got;
  }
  return true;
}

SoundEngine& TheSoundEngine() {
  static SoundEngine engine;
  return engine;
}
