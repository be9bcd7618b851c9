// stb_vorbis works in an arena we hand it, so a stream's header cannot make
// it allocate more than the largest arena: a file whose set-up does not fit
// is refused.
//
// stb_vorbis 1.22 trusts the string lengths of the comment header: a length
// of -1 (or one read past the packet's end, which gives -1 too) makes it
// write before the string it allocated. We never use the tags, so before it
// sees the bytes the header is blanked to an empty vendor and no comments;
// stb_vorbis skips the rest of the packet unread. That also keeps large
// embedded pictures out of the arena.
#include "audio/vorbis_decoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

// The implementation is compiled once, in stb_vorbis_impl.cpp.
#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#include "stb_vorbis.h"

namespace {

// Arena sizes tried in turn. Ordinary 44.1 kHz streams need a few hundred
// KiB; the last size is the bound for any header.
const size_t kArenaSizes[] = {512 * 1024, 2 * 1024 * 1024, 16 * 1024 * 1024};
// Samples asked of stb_vorbis per call; its count is an int.
const size_t kMaxShortsPerCall = 1 << 16;

// The first stb_vorbis accepts: a page of one 30-byte identification packet.
const size_t kFirstPageBytes = 27 + 1 + 30;
// Packet type, "vorbis", vendor length, comment count, framing byte.
const size_t kBlankCommentBytes = 16;

// Where in `data` the first `wanted` bytes of the packet that starts with
// the page at `pos` are, reading pages and segments as stb_vorbis does;
// false when the pages stop first or do not chain.
bool FindPacketBytes(const AudioBytes& data, size_t pos, size_t wanted,
                     std::vector<size_t>& offsets) {
  for (bool first = true;; first = false) {
    if (pos > data.size() || data.size() - pos < 27) return false;
    const uint8_t* page = data.data() + pos;
    if (std::memcmp(page, "OggS", 4) != 0 || page[4] != 0) return false;
    if (((page[5] & 1) != 0) == first) return false;  // only later pages continue it
    const size_t segments = page[26];
    if (segments == 0 || data.size() - pos - 27 < segments) return false;
    size_t body = pos + 27 + segments;
    for (size_t s = 0; s < segments; ++s) {
      const size_t length = page[27 + s];
      if (data.size() - body < length) return false;
      for (size_t i = 0; i < length && offsets.size() < wanted; ++i) offsets.push_back(body + i);
      body += length;
      if (length < 255) return offsets.size() == wanted;  // the packet ends here
    }
    if (offsets.size() == wanted) return true;
    pos = body;
  }
}

bool BlankComments(AudioBytes& data) {
  if (data.size() < kFirstPageBytes || data[26] != 1 || data[27] != 30) return false;
  std::vector<size_t> at;
  if (!FindPacketBytes(data, kFirstPageBytes, kBlankCommentBytes, at)) return false;
  const char kHeader[7] = {3, 'v', 'o', 'r', 'b', 'i', 's'};
  for (size_t i = 0; i < sizeof kHeader; ++i)
    if (data[at[i]] != static_cast<uint8_t>(kHeader[i])) return false;
  const uint8_t kBlank[9] = {0, 0, 0, 0, 0, 0, 0, 0, 1};
  for (size_t i = 0; i < sizeof kBlank; ++i) data[at[sizeof kHeader + i]] = kBlank[i];
  return true;
}

class VorbisDecoder : public AudioDecoder {
 public:
  VorbisDecoder(AudioBytes data, std::vector<char> arena, stb_vorbis* vorbis,
                PcmFormat format)
      : data_(std::move(data)), arena_(std::move(arena)), vorbis_(vorbis), format_(format) {}
  ~VorbisDecoder() override { stb_vorbis_close(vorbis_); }
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  PcmFormat Format() const override { return format_; }

  size_t Read(int16_t* out, size_t frames) override {
    const size_t channels = static_cast<size_t>(format_.channels);
    size_t done = 0;
    while (!ended_ && done < frames) {
      const size_t shorts = std::min((frames - done) * channels, kMaxShortsPerCall);
      const int got = stb_vorbis_get_samples_short_interleaved(
          vorbis_, format_.channels, out + done * channels, static_cast<int>(shorts));
      if (got <= 0) {
        ended_ = true;
        failed_ = IsDecodeError(stb_vorbis_get_error(vorbis_));
        break;
      }
      done += static_cast<size_t>(got);
    }
    return done;
  }

  bool Failed() const override { return failed_; }

 private:
  // At the end of the bytes stb_vorbis reports the end of the data itself;
  // anything else means the stream was damaged.
  static bool IsDecodeError(int error) {
    return error != VORBIS__no_error && error != VORBIS_need_more_data &&
           error != VORBIS_unexpected_eof && error != VORBIS_missing_capture_pattern;
  }

  AudioBytes data_;
  std::vector<char> arena_;  // stb_vorbis's whole working memory
  stb_vorbis* vorbis_;
  PcmFormat format_;
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace

bool IsOggData(const AudioBytes& data) {
  return data.size() >= 4 && std::memcmp(data.data(), "OggS", 4) == 0;
}

std::unique_ptr<AudioDecoder> OpenVorbisDecoder(AudioBytes data) {
  if (!IsOggData(data) || data.size() > static_cast<size_t>(INT_MAX)) return nullptr;
  if (!BlankComments(data)) return nullptr;
  for (size_t size : kArenaSizes) {
    std::vector<char> arena(size);
    stb_vorbis_alloc alloc;
    alloc.alloc_buffer = arena.data();
    alloc.alloc_buffer_length_in_bytes = static_cast<int>(arena.size());
    int error = 0;
    stb_vorbis* vorbis =
        stb_vorbis_open_memory(data.data(), static_cast<int>(data.size()), &error, &alloc);
    if (vorbis == nullptr) {
      if (error == VORBIS_outofmem) continue;
      return nullptr;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if (info.channels < 1 || info.sample_rate < static_cast<unsigned>(kMinPcmRate) ||
        info.sample_rate > static_cast<unsigned>(kMaxPcmRate)) {
      stb_vorbis_close(vorbis);
      return nullptr;
    }
    PcmFormat format;
    format.rate = static_cast<int>(info.sample_rate);
    format.channels = std::min(info.channels, 2);
    return std::unique_ptr<AudioDecoder>(
        new VorbisDecoder(std::move(data), std::move(arena), vorbis, format));
  }
  return nullptr;
}
