// The decoders as the Windows build links them: our WAV reader, stb_vorbis
// and the libmpg123 built from Debian's source for win64, on files made
// here and at build time (reached through Wine's Z: drive).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// One second of a 16-bit mono ramp at 22050 Hz.
std::vector<uint8_t> RampWav() {
  std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                              'f', 'm', 't', ' ', 16, 0, 0, 0};
  PutLe(wav, 1, 2);
  PutLe(wav, 1, 2);
  PutLe(wav, 22050, 4);
  PutLe(wav, 44100, 4);
  PutLe(wav, 2, 2);
  PutLe(wav, 16, 2);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  PutLe(wav, 2 * 22050, 4);
  for (int i = 0; i < 22050; ++i) PutLe(wav, static_cast<uint16_t>(i - 11025), 2);
  return wav;
}

std::vector<int16_t> ReadAll(AudioDecoder& decoder) {
  std::vector<int16_t> all, chunk(4096 * 2);
  while (const size_t got = decoder.Read(chunk.data(), 4096))
    all.insert(all.end(), chunk.begin(), chunk.begin() + got * decoder.Format().channels);
  return all;
}

TEST(AudioDecodersWin, WavDecodesAndConverts) {
  std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(RampWav());
  ASSERT_NE(decoder, nullptr);
  const std::vector<int16_t> samples = ReadAll(*decoder);
  ASSERT_EQ(samples.size(), 22050u);
  EXPECT_EQ(samples[0], -11025);
  EXPECT_EQ(samples[22049], 11024);

  std::unique_ptr<AudioDecoder> converted = ConvertTo(OpenAudioDecoder(RampWav()), PcmFormat{44100, 2});
  ASSERT_NE(converted, nullptr);
  EXPECT_EQ(ReadAll(*converted).size(), 2u * 44100u);
}

#ifdef ZV_AUDIO_SAMPLES_DIR
std::vector<uint8_t> LoadSample(const char* name) {
  std::ifstream in(std::string("Z:") + ZV_AUDIO_SAMPLES_DIR + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Upward crossings over the middle of one channel.
double Frequency(const std::vector<int16_t>& samples, int channels, int rate) {
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = samples.size() / channels / 10 + 1; i < samples.size() / channels * 9 / 10; ++i) {
    if (samples[(i - 1) * channels] < 0 && samples[i * channels] >= 0) {
      if (crossings++ == 0) first = i;
      last = i;
    }
  }
  return crossings < 2 ? 0.0 : (crossings - 1) * static_cast<double>(rate) / (last - first);
}

TEST(AudioDecodersWin, EncodedTonesDecode) {
  struct Case {
    const char* file;
    int rate, channels;
    long frames, slack;
  };
  for (const Case& c : {Case{"tone440_44100_stereo.mp3", 44100, 2, 88200, 0},
                        Case{"tone440_22050_mono.mp3", 22050, 1, 44100, 0},
                        Case{"tone440_44100_stereo.mp2", 44100, 2, 88200, 1152},
                        Case{"tone440_44100_stereo.ogg", 44100, 2, 88200, 2048}}) {
    SCOPED_TRACE(c.file);
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(LoadSample(c.file));
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->Format().rate, c.rate);
    EXPECT_EQ(decoder->Format().channels, c.channels);
    const std::vector<int16_t> samples = ReadAll(*decoder);
    EXPECT_FALSE(decoder->Failed());
    EXPECT_NEAR(static_cast<long>(samples.size() / c.channels), c.frames, c.slack);
    EXPECT_NEAR(Frequency(samples, c.channels, c.rate), 440.0, 2.0);
  }
}
#endif

}  // namespace
