// Music comes from the user's own files and from bundles anyone can replace:
// every decoder, and the converter behind it, must end on any bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/audio_decoder.h"

namespace {

// Enough output to pass many frames of any codec; more only slows the run.
const size_t kMaxFrames = 1 << 18;

void ReadToTheEnd(AudioDecoder& decoder, size_t chunkFrames) {
  const PcmFormat format = decoder.Format();
  if (format.channels < 1 || format.channels > 2 || format.rate < kMinPcmRate ||
      format.rate > kMaxPcmRate)
    __builtin_trap();
  // Exactly the asked size, so the sanitizer sees any write past it.
  std::vector<int16_t> buffer(chunkFrames * format.channels);
  size_t total = 0;
  while (total < kMaxFrames) {
    const size_t got = decoder.Read(buffer.data(), chunkFrames);
    if (got > chunkFrames) __builtin_trap();
    if (got == 0) break;
    total += got;
  }
  if (total < kMaxFrames && decoder.Read(buffer.data(), chunkFrames) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(bytes);
  if (decoder == nullptr) return 0;
  // Odd chunk sizes reach the decoders' partial-buffer paths.
  ReadToTheEnd(*decoder, 1 + size % 1500);

  std::unique_ptr<AudioDecoder> converted = ConvertTo(OpenAudioDecoder(bytes), PcmFormat{44100, 2});
  if (converted == nullptr) __builtin_trap();
  ReadToTheEnd(*converted, 4096);
  return 0;
}
