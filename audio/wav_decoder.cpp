// The chunk walk trusts no size field: every chunk is cut to the bytes that
// follow it, odd sizes skip their pad byte, and arithmetic is done in 64 bits
// so that a size near 4 GiB cannot wrap around.
#include "audio/wav_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

const uint16_t kFormatPcm = 1;
const uint16_t kFormatFloat = 3;
const uint16_t kFormatExtensible = 0xFFFE;
// The tail shared by the KSDATAFORMAT_SUBTYPE GUIDs of PCM and float; their
// first two bytes are the plain format code.
const uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

enum class SampleKind { kUnsigned8, kInt16, kInt24, kInt32, kFloat32, kFloat64 };

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Le64(const uint8_t* p) {
  return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}

int16_t FromFloat(double value) {
  if (std::isnan(value)) return 0;
  const double scaled = value * 32768.0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<int16_t>(std::lround(scaled));
}

// Where the two chunks we need are, each already cut to the file.
struct ChunkSpan {
  const uint8_t* body = nullptr;
  size_t length = 0;
};

bool FindChunks(const AudioBytes& data, ChunkSpan& fmt, ChunkSpan& samples) {
  const uint64_t size = data.size();
  uint64_t pos = 12;
  while (size - pos >= 8) {
    const uint8_t* header = data.data() + pos;
    const uint64_t declared = Le32(header + 4);
    const uint64_t body = pos + 8;
    const uint64_t length = std::min(declared, size - body);
    ChunkSpan* wanted = nullptr;
    if (std::memcmp(header, "fmt ", 4) == 0 && fmt.body == nullptr) wanted = &fmt;
    if (std::memcmp(header, "data", 4) == 0 && samples.body == nullptr) wanted = &samples;
    if (wanted != nullptr) {
      wanted->body = data.data() + body;
      wanted->length = static_cast<size_t>(length);
    }
    if (fmt.body != nullptr && samples.body != nullptr) return true;
    const uint64_t next = body + declared + (declared & 1);
    if (next > size) break;
    pos = next;
  }
  return fmt.body != nullptr && samples.body != nullptr;
}

struct WavLayout {
  PcmFormat format;
  SampleKind kind = SampleKind::kInt16;
  size_t frameBytes = 0;
};

bool ParseFormat(const ChunkSpan& fmt, WavLayout& layout) {
  if (fmt.length < 16) return false;
  const uint8_t* p = fmt.body;
  uint16_t tag = Le16(p);
  const uint16_t channels = Le16(p + 2);
  const uint32_t rate = Le32(p + 4);
  const uint16_t blockAlign = Le16(p + 12);
  const uint16_t bits = Le16(p + 14);
  if (tag == kFormatExtensible) {
    // cbSize (22), valid bits, channel mask, then the sub-format GUID. The
    // container size decides the layout; valid bits below it are padding.
    if (fmt.length < 40 || Le16(p + 16) < 22) return false;
    if (std::memcmp(p + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) return false;
    tag = Le16(p + 24);
  }
  if (channels < 1 || channels > 2) return false;
  if (rate < static_cast<uint32_t>(kMinPcmRate) || rate > static_cast<uint32_t>(kMaxPcmRate))
    return false;
  if (tag == kFormatPcm) {
    switch (bits) {
      case 8: layout.kind = SampleKind::kUnsigned8; break;
      case 16: layout.kind = SampleKind::kInt16; break;
      case 24: layout.kind = SampleKind::kInt24; break;
      case 32: layout.kind = SampleKind::kInt32; break;
      default: return false;
    }
  } else if (tag == kFormatFloat) {
    switch (bits) {
      case 32: layout.kind = SampleKind::kFloat32; break;
      case 64: layout.kind = SampleKind::kFloat64; break;
      default: return false;
    }
  } else {
    return false;
  }
  layout.frameBytes = static_cast<size_t>(bits / 8) * channels;
  // A block size that disagrees would make us read the samples askew.
  if (blockAlign != layout.frameBytes) return false;
  layout.format.rate = static_cast<int>(rate);
  layout.format.channels = channels;
  return true;
}

class WavDecoder : public AudioDecoder {
 public:
  // The samples are `length` bytes from `offset` on, already cut to the file.
  WavDecoder(AudioBytes data, const WavLayout& layout, size_t offset, size_t length)
      : data_(std::move(data)),
        layout_(layout),
        offset_(offset),
        frames_(length / layout.frameBytes) {}

  PcmFormat Format() const override { return layout_.format; }

  size_t Read(int16_t* out, size_t frames) override {
    const size_t count = std::min(frames, frames_ - done_);
    const size_t samples = count * static_cast<size_t>(layout_.format.channels);
    const uint8_t* in = data_.data() + offset_ + done_ * layout_.frameBytes;
    Convert(in, out, samples);
    done_ += count;
    return count;
  }

  bool Failed() const override { return false; }

 private:
  void Convert(const uint8_t* in, int16_t* out, size_t samples) const {
    switch (layout_.kind) {
      case SampleKind::kUnsigned8:
        for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>((in[i] - 128) * 256);
        break;
      case SampleKind::kInt16:
        for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>(Le16(in + 2 * i));
        break;
      case SampleKind::kInt24:
        // The top 16 of the 24 bits: the low byte is dropped.
        for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>(Le16(in + 3 * i + 1));
        break;
      case SampleKind::kInt32:
        for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>(Le16(in + 4 * i + 2));
        break;
      case SampleKind::kFloat32:
        for (size_t i = 0; i < samples; ++i) {
          const uint32_t bits = Le32(in + 4 * i);
          float value;
          std::memcpy(&value, &bits, sizeof value);
          out[i] = FromFloat(value);
        }
        break;
      case SampleKind::kFloat64:
        for (size_t i = 0; i < samples; ++i) {
          const uint64_t bits = Le64(in + 8 * i);
          double value;
          std::memcpy(&value, &bits, sizeof value);
          out[i] = FromFloat(value);
        }
        break;
    }
  }

  AudioBytes data_;
  WavLayout layout_;
  size_t offset_;
  size_t frames_;
  size_t done_ = 0;
};

}  // namespace

bool IsWavData(const AudioBytes& data) {
  return data.size() >= 12 && std::memcmp(data.data(), "RIFF", 4) == 0 &&
         std::memcmp(data.data() + 8, "WAVE", 4) == 0;
}

std::unique_ptr<AudioDecoder> OpenWavDecoder(AudioBytes data) {
  if (!IsWavData(data)) return nullptr;
  ChunkSpan fmt, samples;
  WavLayout layout;
  if (!FindChunks(data, fmt, samples) || !ParseFormat(fmt, layout)) return nullptr;
  const size_t offset = static_cast<size_t>(samples.body - data.data());
  return std::unique_ptr<AudioDecoder>(
      new WavDecoder(std::move(data), layout, offset, samples.length));
}
