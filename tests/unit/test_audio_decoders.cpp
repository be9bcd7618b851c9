// The audio decoders and the format converter: WAV files written here byte
// by byte, and Ogg Vorbis, MP3 and MP2 tones encoded at build time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"

namespace {

const double kTwoPi = 6.283185307179586;

// ---- helpers ---------------------------------------------------------------

void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A RIFF WAVE file assembled chunk by chunk; a chunk may declare another
// size than it carries.
class WavBytes {
 public:
  WavBytes& Chunk(const char* id, const std::vector<uint8_t>& body, int64_t declared = -1) {
    body_.insert(body_.end(), id, id + 4);
    PutLe(body_, declared < 0 ? body.size() : static_cast<uint64_t>(declared), 4);
    body_.insert(body_.end(), body.begin(), body.end());
    if (body.size() % 2 == 1 && declared < 0) body_.push_back(0);
    return *this;
  }
  // "fmt " for `tag`; `extension` follows the 16 common bytes.
  WavBytes& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                   const std::vector<uint8_t>& extension = {}) {
    std::vector<uint8_t> fmt;
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    PutLe(fmt, tag, 2);
    PutLe(fmt, channels, 2);
    PutLe(fmt, rate, 4);
    PutLe(fmt, uint64_t{rate} * block, 4);
    PutLe(fmt, block, 2);
    PutLe(fmt, bits, 2);
    fmt.insert(fmt.end(), extension.begin(), extension.end());
    return Chunk("fmt ", fmt);
  }
  // WAVE_FORMAT_EXTENSIBLE with the KSDATAFORMAT sub-type for `code`.
  WavBytes& Extensible(uint16_t code, uint16_t channels, uint32_t rate, uint16_t bits,
                       uint8_t guidByte = 0x10) {
    std::vector<uint8_t> extension;
    PutLe(extension, 22, 2);    // cbSize
    PutLe(extension, bits, 2);  // valid bits
    PutLe(extension, 3, 4);     // channel mask
    PutLe(extension, code, 2);
    extension.insert(extension.end(), {0x00, 0x00, 0x00, 0x00, guidByte, 0x00, 0x80, 0x00, 0x00,
                                       0xAA, 0x00, 0x38, 0x9B, 0x71});
    return Format(0xFFFE, channels, rate, bits, extension);
  }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLe(out, body_.size() + 4, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

 private:
  std::vector<uint8_t> body_;
};

template <typename T>
std::vector<uint8_t> RawBytes(const std::vector<T>& values) {
  std::vector<uint8_t> out(values.size() * sizeof(T));
  std::memcpy(out.data(), values.data(), out.size());
  return out;
}

// Every sample up to the end, or up to `capFrames`.
std::vector<int16_t> ReadAll(AudioDecoder& decoder, size_t chunkFrames = 4096,
                             size_t capFrames = 10 * 1000 * 1000) {
  const size_t channels = static_cast<size_t>(decoder.Format().channels);
  std::vector<int16_t> all;
  std::vector<int16_t> chunk(chunkFrames * channels);
  while (all.size() / channels < capFrames) {
    const size_t got = decoder.Read(chunk.data(), chunkFrames);
    if (got == 0) break;
    EXPECT_LE(got, chunkFrames);
    all.insert(all.end(), chunk.begin(), chunk.begin() + got * channels);
  }
  return all;
}

std::vector<int16_t> DecodeWav(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(bytes);
  if (decoder == nullptr) {
    ADD_FAILURE() << "refused";
    return {};
  }
  return ReadAll(*decoder);
}

// Frequency of one channel from its upward crossings of a small band around
// zero, over the middle 80% of the signal.
double ToneFrequency(const std::vector<int16_t>& samples, int channels, int channel, int rate) {
  const size_t frames = samples.size() / channels;
  const size_t begin = frames / 10, end = frames - frames / 10;
  int crossings = 0;
  size_t first = 0, last = 0;
  bool low = false;
  for (size_t i = begin; i < end; ++i) {
    const int v = samples[i * channels + channel];
    if (v < -1000) low = true;
    if (low && v > 1000) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
      low = false;
    }
  }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

double Rms(const std::vector<int16_t>& samples, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

// ---- WAV ---------------------------------------------------------------------

TEST(WavDecoder, IntegerSamplesAreScaledToSixteenBits) {
  struct Case {
    uint16_t bits;
    std::vector<uint8_t> bytes;
    std::vector<int16_t> expected;
  };
  const std::vector<Case> cases = {
      {8, {0x80, 0x00, 0xFF, 0x81}, {0, -32768, 32512, 256}},
      {16, {0x00, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0x34, 0x12}, {0, 32767, -32768, 0x1234}},
      // The low byte is dropped: truncation towards minus infinity.
      {24, {0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
       {0x1234, -32768, -1, 32767}},
      {32, {0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF},
       {0x1234, -32768, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    const std::vector<uint8_t> wav = WavBytes().Format(1, 1, 8000, c.bits).Chunk("data", c.bytes).Bytes();
    EXPECT_EQ(DecodeWav(wav), c.expected);
  }
}

TEST(WavDecoder, FloatSamplesRoundAndClip) {
  const float nan = std::nanf("");
  const std::vector<int16_t> expected = {0, 16384, -16384, 32767, -32768, 32767, -32768, 0, 1};
  const std::vector<float> floats = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.5f, -7.0f, nan,
                                     1.0f / 32768.0f};
  EXPECT_EQ(DecodeWav(WavBytes().Format(3, 1, 44100, 32).Chunk("data", RawBytes(floats)).Bytes()),
            expected);
  const std::vector<double> doubles(floats.begin(), floats.end());
  EXPECT_EQ(DecodeWav(WavBytes().Format(3, 1, 44100, 64).Chunk("data", RawBytes(doubles)).Bytes()),
            expected);
}

TEST(WavDecoder, ExtensibleCarriesPcmOrFloat) {
  const std::vector<uint8_t> pcm24 = {0x00, 0x00, 0x40, 0x00, 0x00, 0xC0};
  std::unique_ptr<AudioDecoder> decoder =
      OpenAudioDecoder(WavBytes().Extensible(1, 2, 96000, 24).Chunk("data", pcm24).Bytes());
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Format().rate, 96000);
  EXPECT_EQ(decoder->Format().channels, 2);
  EXPECT_EQ(ReadAll(*decoder), (std::vector<int16_t>{16384, -16384}));

  EXPECT_EQ(DecodeWav(WavBytes().Extensible(3, 1, 48000, 32).Chunk("data", RawBytes(std::vector<float>{0.25f})).Bytes()),
            std::vector<int16_t>{8192});
  // A sub-type of another family, and a compressed one.
  EXPECT_EQ(OpenAudioDecoder(WavBytes().Extensible(1, 1, 48000, 16, 0x11).Chunk("data", {0, 0}).Bytes()),
            nullptr);
  EXPECT_EQ(OpenAudioDecoder(WavBytes().Extensible(2, 1, 48000, 16).Chunk("data", {0, 0}).Bytes()),
            nullptr);
}

TEST(WavDecoder, RefusesWhatItCannotPlay) {
  const std::vector<uint8_t> data(64, 0);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> shortFmt = WavBytes().Chunk("fmt ", {1, 0, 1, 0, 0x40, 0x1F, 0, 0}).Chunk("data", data).Bytes();
  std::vector<uint8_t> badAlign = WavBytes().Format(1, 2, 8000, 16).Chunk("data", data).Bytes();
  badAlign[12 + 8 + 12] = 2;  // block align 2 for 16-bit stereo
  const std::vector<Case> cases = {
      {"three channels", WavBytes().Format(1, 3, 8000, 16).Chunk("data", data).Bytes()},
      {"no channels", WavBytes().Format(1, 0, 8000, 16).Chunk("data", data).Bytes()},
      {"rate 0", WavBytes().Format(1, 1, 0, 16).Chunk("data", data).Bytes()},
      {"rate too high", WavBytes().Format(1, 1, 384001, 16).Chunk("data", data).Bytes()},
      {"12-bit", WavBytes().Format(1, 1, 8000, 12).Chunk("data", data).Bytes()},
      {"16-bit float", WavBytes().Format(3, 1, 8000, 16).Chunk("data", data).Bytes()},
      {"ADPCM", WavBytes().Format(2, 1, 8000, 16).Chunk("data", data).Bytes()},
      {"short fmt", shortFmt},
      {"block align", badAlign},
      {"no data", WavBytes().Format(1, 1, 8000, 16).Bytes()},
      {"no fmt", WavBytes().Chunk("data", data).Bytes()},
      // A chunk that claims to run past the end hides the data chunk.
      {"chunk past the end", WavBytes().Format(1, 1, 8000, 16).Chunk("LIST", {1, 2, 3, 4}, 0xFFFFFFF0).Chunk("data", data).Bytes()},
  };
  for (const Case& c : cases) EXPECT_EQ(OpenAudioDecoder(c.bytes), nullptr) << c.what;
  EXPECT_NE(OpenAudioDecoder(WavBytes().Format(1, 1, 384000, 16).Chunk("data", data).Bytes()), nullptr);
  EXPECT_NE(OpenAudioDecoder(WavBytes().Format(1, 1, 1, 16).Chunk("data", data).Bytes()), nullptr);
}

TEST(WavDecoder, WalksOddChunksInAnyOrder) {
  // An odd-sized chunk is followed by a pad byte; the data may come before
  // the format, and unknown chunks are skipped.
  const std::vector<uint8_t> samples = {0x01, 0x00, 0x02, 0x00, 0x03, 0x00};
  std::vector<uint8_t> wav = WavBytes()
                                 .Chunk("LIST", {'a', 'b', 'c'})
                                 .Chunk("data", samples)
                                 .Chunk("junk", {9})
                                 .Format(1, 1, 11025, 16)
                                 .Bytes();
  EXPECT_EQ(DecodeWav(wav), (std::vector<int16_t>{1, 2, 3}));
  // Only the first of two data chunks plays.
  wav = WavBytes().Format(1, 1, 11025, 16).Chunk("data", {5, 0}).Chunk("data", {6, 0}).Bytes();
  EXPECT_EQ(DecodeWav(wav), std::vector<int16_t>{5});
}

TEST(WavDecoder, DataLongerThanTheFilePlaysWhatIsThere) {
  // Seven bytes of 16-bit stereo: one whole frame, the rest of the next cut.
  const std::vector<uint8_t> samples = {1, 0, 2, 0, 3, 0, 4};
  for (int64_t declared : {int64_t{1000}, int64_t{0xFFFFFFFF}}) {
    const std::vector<uint8_t> wav =
        WavBytes().Format(1, 2, 22050, 16).Chunk("data", samples, declared).Bytes();
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(wav);
    ASSERT_NE(decoder, nullptr) << declared;
    EXPECT_EQ(ReadAll(*decoder), (std::vector<int16_t>{1, 2}));
    EXPECT_FALSE(decoder->Failed());
  }
}

// ---- sniffing ------------------------------------------------------------------

TEST(OpenAudioDecoder, RefusesDataWithoutAPlayableStream) {
  std::vector<uint8_t> noise(20000);
  uint32_t seed = 12345;
  for (uint8_t& b : noise) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 16);
  }
  noise[0] = 'x';
  EXPECT_EQ(OpenAudioDecoder({}), nullptr);
  EXPECT_EQ(OpenAudioDecoder(noise), nullptr);
  EXPECT_EQ(OpenAudioDecoder(std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}), nullptr);

  std::vector<uint8_t> fake = noise;
  std::memcpy(fake.data(), "OggS", 4);
  EXPECT_EQ(OpenAudioDecoder(fake), nullptr);
  // An ID3v2 tag that claims more bytes than there are.
  fake = noise;
  const uint8_t tag[10] = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
  std::memcpy(fake.data(), tag, 10);
  EXPECT_EQ(OpenAudioDecoder(fake), nullptr);
  // A frame header followed by noise: refused, or decoded to an end.
  fake = noise;
  const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64};
  std::memcpy(fake.data(), header, 4);
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(fake);
  if (decoder != nullptr) {
    EXPECT_LT(ReadAll(*decoder).size(), 200000u);
  }
}

// ---- encoded files -------------------------------------------------------------

#ifdef ZV_AUDIO_SAMPLES_DIR

std::vector<uint8_t> LoadSample(const std::string& name) {
  std::ifstream in(std::string(ZV_AUDIO_SAMPLES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct EncodedTone {
  const char* file;
  int rate;
  int channels;
  int lengthSlack;  // frames: the codec's frame size, or 0 when exact
};

void PrintTo(const EncodedTone& tone, std::ostream* out) { *out << tone.file; }

class EncodedToneTest : public ::testing::TestWithParam<EncodedTone> {};

TEST_P(EncodedToneTest, DecodesTheWholeToneAtItsFrequency) {
  const EncodedTone& tone = GetParam();
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(LoadSample(tone.file));
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Format().rate, tone.rate);
  EXPECT_EQ(decoder->Format().channels, tone.channels);
  const std::vector<int16_t> samples = ReadAll(*decoder, 1000);
  EXPECT_FALSE(decoder->Failed());
  int16_t spare[8];
  EXPECT_EQ(decoder->Read(spare, 4), 0u);

  const long frames = static_cast<long>(samples.size() / tone.channels);
  EXPECT_NEAR(frames, 2 * tone.rate, tone.lengthSlack);
  for (int c = 0; c < tone.channels; ++c)
    EXPECT_NEAR(ToneFrequency(samples, tone.channels, c, tone.rate), 440.0, 2.0) << "channel " << c;
  // -6 dB sine: RMS 0.5 / sqrt(2) of full scale.
  EXPECT_NEAR(Rms(samples, samples.size() / 4, samples.size() * 3 / 4), 11585.0, 1200.0);
}

TEST_P(EncodedToneTest, TruncatedDataFailsCleanlyOrPlaysLess) {
  const EncodedTone& tone = GetParam();
  const std::vector<uint8_t> whole = LoadSample(tone.file);
  std::unique_ptr<AudioDecoder> full = OpenAudioDecoder(whole);
  ASSERT_NE(full, nullptr);
  const size_t fullSamples = ReadAll(*full).size();
  const size_t stride = std::max<size_t>(1, whole.size() / 40);
  for (size_t cut = 0; cut < whole.size(); cut += stride) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(std::move(part));
    if (decoder == nullptr) continue;
    EXPECT_LE(ReadAll(*decoder).size(), fullSamples) << "cut at " << cut;
  }
  // The first bytes alone never open (no complete header).
  EXPECT_EQ(OpenAudioDecoder(std::vector<uint8_t>(whole.begin(), whole.begin() + 3)), nullptr);
}

TEST_P(EncodedToneTest, CorruptBytesEndTheStreamInTime) {
  const EncodedTone& tone = GetParam();
  const std::vector<uint8_t> whole = LoadSample(tone.file);
  // Frames: ten times the real stream. Damage may change what the headers
  // say, but never into an endless stream.
  const size_t limit = 10 * 2 * tone.rate;
  uint32_t seed = 99;
  for (int round = 0; round < 12; ++round) {
    std::vector<uint8_t> bad = whole;
    // Each round damages more: a few bytes, then whole runs of them.
    for (int i = 0; i < 4 << round && i < 4000; ++i) {
      seed = seed * 1103515245u + 12345u;
      bad[(seed >> 8) % bad.size()] = static_cast<uint8_t>(seed >> 3);
    }
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(std::move(bad));
    if (decoder == nullptr) continue;
    const PcmFormat format = decoder->Format();
    EXPECT_TRUE(format.channels == 1 || format.channels == 2);
    EXPECT_LE(ReadAll(*decoder, 4096, limit + 1).size() / format.channels, limit) << round;
  }
}

TEST_P(EncodedToneTest, ConvertsToTheEngineFormat) {
  const EncodedTone& tone = GetParam();
  std::unique_ptr<AudioDecoder> decoder =
      ConvertTo(OpenAudioDecoder(LoadSample(tone.file)), PcmFormat{44100, 2});
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Format().rate, 44100);
  EXPECT_EQ(decoder->Format().channels, 2);
  const std::vector<int16_t> samples = ReadAll(*decoder);
  EXPECT_NEAR(static_cast<long>(samples.size() / 2), 88200, tone.lengthSlack * 44100 / tone.rate);
  EXPECT_NEAR(ToneFrequency(samples, 2, 0, 44100), 440.0, 2.0);
  EXPECT_NEAR(ToneFrequency(samples, 2, 1, 44100), 440.0, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tones, EncodedToneTest,
    ::testing::Values(EncodedTone{"tone440_44100_stereo.wav", 44100, 2, 0},
                      EncodedTone{"tone440_44100_stereo.ogg", 44100, 2, 2048},
                      EncodedTone{"tone440_22050_mono.ogg", 22050, 1, 2048},
                      // The LAME tag makes MP3 lengths exact.
                      EncodedTone{"tone440_44100_stereo.mp3", 44100, 2, 0},
                      EncodedTone{"tone440_22050_mono.mp3", 22050, 1, 0},
                      EncodedTone{"tone440_44100_stereo.mp2", 44100, 2, 1152}),
    [](const ::testing::TestParamInfo<EncodedTone>& info) {
      std::string name = info.param.file;
      std::replace(name.begin(), name.end(), '.', '_');
      return name;
    });

TEST(MpegDecoder, StepsOverId3Tags) {
  const std::vector<uint8_t> mp3 = LoadSample("tone440_44100_stereo.mp3");
  std::unique_ptr<AudioDecoder> plain = OpenAudioDecoder(mp3);
  ASSERT_NE(plain, nullptr);
  const std::vector<int16_t> expected = ReadAll(*plain);

  // Two ID3v2 tags (the second with a footer) in front, an ID3v1 tag behind.
  std::vector<uint8_t> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0};  // 128 bytes of frames
  tagged.resize(10 + 128, 'x');
  const std::vector<uint8_t> second = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 20};
  tagged.insert(tagged.end(), second.begin(), second.end());
  tagged.resize(tagged.size() + 20 + 10, 0xFF);
  tagged.insert(tagged.end(), mp3.begin(), mp3.end());
  std::vector<uint8_t> id3v1(128, ' ');
  std::memcpy(id3v1.data(), "TAG", 3);
  tagged.insert(tagged.end(), id3v1.begin(), id3v1.end());

  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(tagged);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(ReadAll(*decoder), expected);
  EXPECT_FALSE(decoder->Failed());
}

TEST(MpegDecoder, StreamThatChangesFormatEndsAtTheChange) {
  std::vector<uint8_t> glued = LoadSample("tone440_44100_stereo.mp3");
  const std::vector<uint8_t> other = LoadSample("tone440_22050_mono.mp3");
  glued.insert(glued.end(), other.begin(), other.end());
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(glued);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Format().rate, 44100);
  EXPECT_EQ(decoder->Format().channels, 2);
  const size_t frames = ReadAll(*decoder).size() / 2;
  EXPECT_NEAR(static_cast<long>(frames), 88200, 1152);
  EXPECT_TRUE(decoder->Failed());
}

TEST(VorbisDecoder, IgnoresTheCommentHeadersLengths) {
  // The comment header starts on the second page, after the 58-byte first.
  const std::vector<uint8_t> ogg = LoadSample("tone440_44100_stereo.ogg");
  ASSERT_GT(ogg.size(), 200u);
  const size_t packet = 58 + 27 + ogg[58 + 26];
  ASSERT_EQ(ogg[packet], 3);
  ASSERT_EQ(std::memcmp(&ogg[packet + 1], "vorbis", 6), 0);
  std::unique_ptr<AudioDecoder> plain = OpenAudioDecoder(ogg);
  ASSERT_NE(plain, nullptr);
  const std::vector<int16_t> expected = ReadAll(*plain);

  // A vendor length of -1 and of nearly 2 GiB, and a comment count of 4 billion.
  for (size_t field : {size_t{7}, size_t{11}}) {
    for (uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu}) {
      std::vector<uint8_t> bad = ogg;
      for (int i = 0; i < 4; ++i) bad[packet + field + i] = static_cast<uint8_t>(value >> (8 * i));
      std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(bad);
      ASSERT_NE(decoder, nullptr) << field << " " << value;
      EXPECT_EQ(ReadAll(*decoder), expected);
    }
  }
  // Cut inside the comment header: nothing to play.
  EXPECT_EQ(OpenAudioDecoder(std::vector<uint8_t>(ogg.begin(), ogg.begin() + packet + 9)), nullptr);
}

TEST(PcmConverter, HalfRateMonoMp3BecomesFullRateStereo) {
  std::unique_ptr<AudioDecoder> decoder =
      ConvertTo(OpenAudioDecoder(LoadSample("tone440_22050_mono.mp3")), PcmFormat{44100, 2});
  ASSERT_NE(decoder, nullptr);
  const std::vector<int16_t> samples = ReadAll(*decoder, 777);
  ASSERT_EQ(samples.size(), 2u * 88200u);
  for (size_t i = 0; i < samples.size(); i += 2) ASSERT_EQ(samples[i], samples[i + 1]) << i;
  EXPECT_NEAR(ToneFrequency(samples, 2, 0, 44100), 440.0, 1.0);
}

#endif  // ZV_AUDIO_SAMPLES_DIR

// ---- conversion ------------------------------------------------------------------

// A synthetic source: a sine per channel, or with 0 Hz a constant level.
class ToneSource : public AudioDecoder {
 public:
  ToneSource(int rate, int channels, size_t frames, double left, double right, double amplitude,
             double rightAmplitude)
      : format_{rate, channels}, frames_(frames), hz_{left, right}, level_{amplitude, rightAmplitude} {}
  PcmFormat Format() const override { return format_; }
  size_t Read(int16_t* out, size_t frames) override {
    const size_t n = std::min(frames, frames_ - done_);
    for (size_t i = 0; i < n; ++i)
      for (int c = 0; c < format_.channels; ++c) {
        const double t = static_cast<double>(done_ + i) / format_.rate;
        const double v = hz_[c] == 0.0 ? level_[c] : level_[c] * std::sin(kTwoPi * hz_[c] * t);
        out[i * format_.channels + c] = static_cast<int16_t>(std::lround(v));
      }
    done_ += n;
    if (n == 0 && failAtEnd_) failed_ = true;
    return n;
  }
  bool Failed() const override { return failed_; }
  bool failAtEnd_ = false;

 private:
  PcmFormat format_;
  size_t frames_;
  size_t done_ = 0;
  double hz_[2];
  double level_[2];
  bool failed_ = false;
};

std::unique_ptr<AudioDecoder> Tone(int rate, int channels, size_t frames, double left,
                                   double right = 0.0, double amplitude = 10000.0) {
  return std::unique_ptr<AudioDecoder>(
      new ToneSource(rate, channels, frames, left, right, amplitude, amplitude));
}

TEST(PcmConverter, KeepsDurationAndFrequencyAcrossRates) {
  struct Case {
    int from, to, channels;
  };
  for (const Case& c : {Case{22050, 44100, 1}, Case{48000, 44100, 2}, Case{8000, 44100, 2},
                        Case{44100, 32000, 2}, Case{96000, 44100, 1}, Case{44056, 44100, 2}}) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    const size_t frames = static_cast<size_t>(c.from) * 3 / 2 + 7;
    std::unique_ptr<AudioDecoder> converted =
        ConvertTo(Tone(c.from, c.channels, frames, 440.0, 660.0), PcmFormat{c.to, c.channels});
    ASSERT_NE(converted, nullptr);
    const std::vector<int16_t> samples = ReadAll(*converted, 1000);
    const uint64_t expected = (uint64_t{frames} * c.to + c.from - 1) / c.from;
    EXPECT_EQ(samples.size() / c.channels, expected);
    EXPECT_NEAR(ToneFrequency(samples, c.channels, 0, c.to), 440.0, 1.0);
    if (c.channels == 2) {
      EXPECT_NEAR(ToneFrequency(samples, 2, 1, c.to), 660.0, 1.0);
    }
    EXPECT_NEAR(Rms(samples, samples.size() / 4, samples.size() * 3 / 4), 10000 / std::sqrt(2.0), 150.0);
  }
}

TEST(PcmConverter, ConstantLevelStaysExact) {
  std::unique_ptr<AudioDecoder> converted = ConvertTo(Tone(22050, 1, 22050, 0.0, 0.0, 12345.0),
                                                      PcmFormat{44100, 1});
  const std::vector<int16_t> samples = ReadAll(*converted);
  ASSERT_EQ(samples.size(), 44100u);
  // Away from the edges, where the filter meets the silence around the source.
  for (size_t i = 100; i + 100 < samples.size(); ++i) ASSERT_NEAR(samples[i], 12345, 1) << i;
}

TEST(PcmConverter, FiltersWhatTheLowerRateCannotHold) {
  // 6 kHz does not exist at 8 kHz; without the low-pass it would fold to 2 kHz.
  std::unique_ptr<AudioDecoder> converted =
      ConvertTo(Tone(44100, 1, 44100, 6000.0), PcmFormat{8000, 1});
  const std::vector<int16_t> samples = ReadAll(*converted);
  ASSERT_EQ(samples.size(), 8000u);
  EXPECT_LT(Rms(samples, 1000, 7000), 10000 / std::sqrt(2.0) * 0.01);
}

TEST(PcmConverter, ChunkSizeDoesNotChangeTheOutput) {
  const std::vector<int16_t> whole =
      ReadAll(*ConvertTo(Tone(48000, 2, 30000, 440.0, 1000.0), PcmFormat{44100, 2}), 100000);
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{1000}}) {
    const std::vector<int16_t> pieces =
        ReadAll(*ConvertTo(Tone(48000, 2, 30000, 440.0, 1000.0), PcmFormat{44100, 2}), chunk);
    EXPECT_EQ(pieces, whole) << chunk;
  }
}

TEST(PcmConverter, MapsChannelsExactlyAtTheSameRate) {
  std::unique_ptr<AudioDecoder> mono = ConvertTo(Tone(44100, 1, 100, 440.0), PcmFormat{44100, 2});
  std::vector<int16_t> reference = ReadAll(*Tone(44100, 1, 100, 440.0));
  std::vector<int16_t> stereo = ReadAll(*mono);
  ASSERT_EQ(stereo.size(), 200u);
  for (size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(stereo[2 * i], reference[i]);
    EXPECT_EQ(stereo[2 * i + 1], reference[i]);
  }
  // Stereo to mono is the mean, truncated: 10000 and -3001 give 3499.
  std::unique_ptr<AudioDecoder> down =
      ConvertTo(std::unique_ptr<AudioDecoder>(new ToneSource(44100, 2, 10, 0, 0, 10000, -3001)),
                PcmFormat{44100, 1});
  EXPECT_EQ(ReadAll(*down), std::vector<int16_t>(10, 3499));
}

TEST(PcmConverter, PassesThroughRefusesAndReportsFailure) {
  std::unique_ptr<AudioDecoder> source = Tone(44100, 2, 10, 440.0);
  AudioDecoder* raw = source.get();
  EXPECT_EQ(ConvertTo(std::move(source), PcmFormat{44100, 2}).get(), raw);
  EXPECT_EQ(ConvertTo(nullptr, PcmFormat{44100, 2}), nullptr);
  EXPECT_EQ(ConvertTo(Tone(44100, 2, 10, 440.0), PcmFormat{44100, 3}), nullptr);
  EXPECT_EQ(ConvertTo(Tone(44100, 2, 10, 440.0), PcmFormat{0, 2}), nullptr);
  EXPECT_EQ(ConvertTo(Tone(0, 2, 10, 440.0), PcmFormat{44100, 2}), nullptr);

  ToneSource* failing = new ToneSource(22050, 1, 500, 440.0, 0.0, 1000.0, 1000.0);
  failing->failAtEnd_ = true;
  std::unique_ptr<AudioDecoder> converted =
      ConvertTo(std::unique_ptr<AudioDecoder>(failing), PcmFormat{44100, 2});
  EXPECT_EQ(ReadAll(*converted).size(), 2u * 1000u);
  EXPECT_TRUE(converted->Failed());
}

TEST(PcmConverter, ExtremeRatiosStayBounded) {
  // 384 kHz down to 1 kHz and 1 kHz up to 384 kHz: right lengths, in time.
  std::unique_ptr<AudioDecoder> down = ConvertTo(Tone(384000, 2, 384000, 100.0), PcmFormat{1000, 2});
  EXPECT_EQ(ReadAll(*down).size(), 2u * 1000u);
  std::unique_ptr<AudioDecoder> up = ConvertTo(Tone(1000, 1, 1000, 100.0), PcmFormat{384000, 1});
  const std::vector<int16_t> samples = ReadAll(*up);
  EXPECT_EQ(samples.size(), 384000u);
  EXPECT_NEAR(ToneFrequency(samples, 1, 0, 384000), 100.0, 1.0);
}

}  // namespace
