// Compressed or plain audio in, 16-bit interleaved PCM out. Each format has
// its own decoder; OpenAudioDecoder picks one from the data's signature and
// ConvertTo brings any of them to the engine's output format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_bytes.h"

struct PcmFormat {
  int rate = 0;      // frames per second
  int channels = 0;  // 1 or 2
};

// Rates every decoder accepts and ConvertTo handles; anything outside is
// refused rather than played at a wrong speed.
const int kMinPcmRate = 1;
const int kMaxPcmRate = 384000;

class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;
  // The format Read delivers; fixed once the decoder is open.
  virtual PcmFormat Format() const = 0;
  // Up to `frames` interleaved frames into `out` (frames x channels
  // samples). 0 at the end of the data, and from then on; a decode error
  // ends the stream the same way and sets Failed.
  virtual size_t Read(int16_t* out, size_t frames) = 0;
  virtual bool Failed() const = 0;
};

// A decoder for RIFF WAVE, Ogg Vorbis or MPEG audio layer 1-3, owning the
// bytes; null when none of them accepts the data.
std::unique_ptr<AudioDecoder> OpenAudioDecoder(AudioBytes data);

// Wraps `source` so that it delivers `format` (rate conversion, mono to
// stereo and back); `source` itself when it already does.
std::unique_ptr<AudioDecoder> ConvertTo(std::unique_ptr<AudioDecoder> source, PcmFormat format);
