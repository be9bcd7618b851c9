// ID3 tags are stepped over here rather than by libmpg123, which would read
// a whole ID3v2 tag into memory at whatever size its header claims. The
// frames between them go to the decoder in pieces, and only when it asks
// for more, so its buffering stays small and garbage ends when the bytes do.
#include "audio/mpeg_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

const size_t kFeedBytes = 16 * 1024;
const size_t kId3v2HeaderBytes = 10;
const size_t kId3v1Bytes = 128;
// Decoder calls in a row that neither produced samples nor asked for input
// before we give up on the stream; libmpg123 never needs that many.
const int kMaxIdleCalls = 64;

bool InitLibrary() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = mpg123_init() == MPG123_OK; });
  return ready;
}

// The frame header's fixed fields: sync, a defined version, layer, bitrate
// index, sampling rate and emphasis.
bool IsFrameHeader(const uint8_t* p) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  if (((p[1] >> 3) & 3) == 1 || ((p[1] >> 1) & 3) == 0) return false;
  if ((p[2] >> 4) == 15 || ((p[2] >> 2) & 3) == 3) return false;
  return (p[3] & 3) != 2;
}

bool IsId3v2Header(const uint8_t* p, size_t available) {
  if (available < kId3v2HeaderBytes || std::memcmp(p, "ID3", 3) != 0) return false;
  if (p[3] == 0xFF || p[4] == 0xFF) return false;
  return ((p[6] | p[7] | p[8] | p[9]) & 0x80) == 0;
}

// Where the audio starts after any ID3v2 tags (a file may carry several).
size_t SkipId3v2Tags(const AudioBytes& data) {
  size_t pos = 0;
  while (IsId3v2Header(data.data() + pos, data.size() - pos)) {
    const uint8_t* p = data.data() + pos;
    uint64_t size = (static_cast<uint64_t>(p[6]) << 21) | (p[7] << 14) | (p[8] << 7) | p[9];
    size += kId3v2HeaderBytes;
    if (p[5] & 0x10) size += kId3v2HeaderBytes;  // footer
    if (size >= data.size() - pos) return data.size();
    pos += static_cast<size_t>(size);
  }
  return pos;
}

class MpegDecoder : public AudioDecoder {
 public:
  MpegDecoder(AudioBytes data, size_t begin, size_t end)
      : data_(std::move(data)), fed_(begin), end_(end) {}
  ~MpegDecoder() override {
    if (handle_ != nullptr) mpg123_delete(handle_);
  }
  MpegDecoder(const MpegDecoder&) = delete;
  MpegDecoder& operator=(const MpegDecoder&) = delete;

  // Sets up the decoder and reads up to the first frame's format.
  bool Open() {
    if (!InitLibrary()) return false;
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (handle_ == nullptr) return false;
    if (mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0) !=
            MPG123_OK ||
        !OnlySigned16() || mpg123_open_feed(handle_) != MPG123_OK)
      return false;
    for (;;) {
      const int result = QueryFormat(format_);
      if (result == MPG123_OK) return true;
      if (result != MPG123_NEED_MORE || !Feed()) return false;
    }
  }

  PcmFormat Format() const override { return format_; }

  size_t Read(int16_t* out, size_t frames) override {
    const size_t frameBytes = 2 * static_cast<size_t>(format_.channels);
    const size_t wanted = std::min(frames, SIZE_MAX / frameBytes) * frameBytes;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(out);
    size_t got = 0;
    int idle = 0;
    while (!ended_ && got < wanted) {
      size_t done = 0;
      const int result = mpg123_read(handle_, bytes + got, wanted - got, &done);
      got += done;
      // Feeding is progress too: the bytes are finite.
      if (done > 0 || result == MPG123_NEED_MORE) {
        idle = 0;
      } else if (++idle > kMaxIdleCalls) {
        Fail();
        break;
      }
      switch (result) {
        case MPG123_OK:
          break;
        case MPG123_NEED_MORE:
          if (fed_ == end_) {
            ended_ = true;
          } else if (!Feed()) {
            Fail();
          }
          break;
        case MPG123_NEW_FORMAT: {
          // A stream glued from parts of different formats: what follows
          // cannot be delivered in the format we promised.
          PcmFormat now;
          if (QueryFormat(now) != MPG123_OK || now.rate != format_.rate ||
              now.channels != format_.channels)
            Fail();
          break;
        }
        case MPG123_DONE:
          ended_ = true;
          break;
        default:
          Fail();
          break;
      }
    }
    return got / frameBytes;
  }

  bool Failed() const override { return failed_; }

 private:
  void Fail() {
    failed_ = true;
    ended_ = true;
  }

  bool OnlySigned16() {
    if (mpg123_format_none(handle_) != MPG123_OK) return false;
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
      if (mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) !=
          MPG123_OK)
        return false;
    }
    return true;
  }

  int QueryFormat(PcmFormat& format) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    const int result = mpg123_getformat(handle_, &rate, &channels, &encoding);
    if (result != MPG123_OK) return result;
    if (encoding != MPG123_ENC_SIGNED_16 || channels < 1 || channels > 2 || rate < kMinPcmRate ||
        rate > kMaxPcmRate)
      return MPG123_ERR;
    format.rate = static_cast<int>(rate);
    format.channels = channels;
    return MPG123_OK;
  }

  // Hands the next piece of the bytes over; false when none is left.
  bool Feed() {
    if (fed_ == end_) return false;
    const size_t count = std::min(kFeedBytes, end_ - fed_);
    if (mpg123_feed(handle_, data_.data() + fed_, count) != MPG123_OK) return false;
    fed_ += count;
    return true;
  }

  AudioBytes data_;
  size_t fed_;  // bytes before this were handed to the decoder
  size_t end_;  // where the audio ends (before an ID3v1 tag)
  mpg123_handle* handle_ = nullptr;
  PcmFormat format_;
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace

bool IsMpegData(const AudioBytes& data) {
  if (data.size() >= 3 && std::memcmp(data.data(), "ID3", 3) == 0) return true;
  return data.size() >= 4 && IsFrameHeader(data.data());
}

std::unique_ptr<AudioDecoder> OpenMpegDecoder(AudioBytes data) {
  if (!IsMpegData(data)) return nullptr;
  const size_t begin = SkipId3v2Tags(data);
  size_t end = data.size();
  if (end - begin >= kId3v1Bytes && std::memcmp(data.data() + end - kId3v1Bytes, "TAG", 3) == 0)
    end -= kId3v1Bytes;
  if (begin >= end) return nullptr;
  std::unique_ptr<MpegDecoder> decoder(new MpegDecoder(std::move(data), begin, end));
  if (!decoder->Open()) return nullptr;
  return std::unique_ptr<AudioDecoder>(std::move(decoder));
}
