// Benchmark, not a test: decoding whole music tracks from memory and
// bringing them to the engine's 44100 Hz stereo, as the streaming engine's
// mixer does. The counter cpu_ms_per_audio_s is the CPU time each second of
// music costs.
//
//   zv_bench_audio_decode [--benchmark_...]
//   ZV_BENCH_OGG=track.ogg ZV_BENCH_MP3=track.mp3 zv_bench_audio_decode
//
// By default the Ogg track is enigma-data's in_space.ogg and the MP3 tracks
// are made from it at build time with lame (full rate, and half-rate mono
// so that the rate converter has work); a missing track is reported as
// skipped.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"

namespace {

const PcmFormat kEngineFormat{44100, 2};
const size_t kBlockFrames = 2756;  // one of the engine's 62.5 ms blocks

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PathFrom(const char* variable, const char* fallback) {
  const char* chosen = std::getenv(variable);
  return chosen != nullptr && *chosen != '\0' ? chosen : fallback;
}

// Measures CPU time itself: Google Benchmark's own rate counters would
// print this ratio as a time in seconds.
class CpuClock {
 public:
  CpuClock() : start_(std::clock()) {}
  double Seconds() const { return static_cast<double>(std::clock() - start_) / CLOCKS_PER_SEC; }

 private:
  std::clock_t start_;
};

void ReportCost(benchmark::State& state, const CpuClock& clock, double audioSecondsPerIteration) {
  const double audio = audioSecondsPerIteration * static_cast<double>(state.iterations());
  if (audio <= 0.0) return;
  state.counters["cpu_ms_per_audio_s"] = 1000.0 * clock.Seconds() / audio;
  state.counters["audio_s"] = audioSecondsPerIteration;
}

void DecodeTrack(benchmark::State& state, const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  if (bytes.empty()) {
    state.SkipWithError(("no track at " + path).c_str());
    return;
  }
  std::vector<int16_t> block(kBlockFrames * kEngineFormat.channels);
  size_t frames = 0;
  const CpuClock clock;
  for (auto _ : state) {
    std::unique_ptr<AudioDecoder> decoder = ConvertTo(OpenAudioDecoder(bytes), kEngineFormat);
    if (decoder == nullptr) {
      state.SkipWithError(("undecodable: " + path).c_str());
      return;
    }
    frames = 0;
    while (const size_t got = decoder->Read(block.data(), kBlockFrames)) frames += got;
    benchmark::DoNotOptimize(block.data());
  }
  ReportCost(state, clock, static_cast<double>(frames) / kEngineFormat.rate);
}

// The converter alone, on 48 kHz stereo samples made beforehand.
class SamplesSource : public AudioDecoder {
 public:
  explicit SamplesSource(const std::vector<int16_t>& samples) : samples_(samples) {}
  PcmFormat Format() const override { return {48000, 2}; }
  size_t Read(int16_t* out, size_t frames) override {
    const size_t n = std::min(frames, samples_.size() / 2 - done_);
    std::copy(samples_.begin() + 2 * done_, samples_.begin() + 2 * (done_ + n), out);
    done_ += n;
    return n;
  }
  bool Failed() const override { return false; }

 private:
  const std::vector<int16_t>& samples_;
  size_t done_ = 0;
};

void ConvertOnly(benchmark::State& state) {
  std::vector<int16_t> samples(48000 * 30 * 2);
  for (size_t i = 0; i < samples.size() / 2; ++i) {
    samples[2 * i] = static_cast<int16_t>(8000 * std::sin(0.0576 * static_cast<double>(i)));
    samples[2 * i + 1] = static_cast<int16_t>(-samples[2 * i]);
  }
  std::vector<int16_t> block(kBlockFrames * kEngineFormat.channels);
  size_t frames = 0;
  const CpuClock clock;
  for (auto _ : state) {
    std::unique_ptr<AudioDecoder> decoder =
        ConvertTo(std::unique_ptr<AudioDecoder>(new SamplesSource(samples)), kEngineFormat);
    frames = 0;
    while (const size_t got = decoder->Read(block.data(), kBlockFrames)) frames += got;
    benchmark::DoNotOptimize(block.data());
  }
  ReportCost(state, clock, static_cast<double>(frames) / kEngineFormat.rate);
}

// What a track change costs the thread that makes it: the file's bytes made
// ready (mapped now, read whole before) and the decoder opened and brought
// to the engine's format, for a WAV of range(0) MB made here.
void OpenTrack(benchmark::State& state) {
  const size_t megabytes = static_cast<size_t>(state.range(0));
  const std::string path = "/tmp/zv_bench_open_" + std::to_string(megabytes) + ".wav";
  {
    const uint32_t dataBytes = static_cast<uint32_t>(megabytes << 20);
    const uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0,
                                4, 0, 16, 0, 'd', 'a', 't', 'a',
                                static_cast<uint8_t>(dataBytes), static_cast<uint8_t>(dataBytes >> 8),
                                static_cast<uint8_t>(dataBytes >> 16), static_cast<uint8_t>(dataBytes >> 24)};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    std::vector<char> zeros(1 << 20, 0);
    for (size_t i = 0; i < megabytes; ++i) out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  const bool mapped = state.range(1) != 0;
  for (auto _ : state) {
    AudioBytes bytes;
    if (mapped) {
      bytes = AudioBytes::MapFile(path.c_str(), 0, 0, size_t{1} << 31);
    } else {
      // As a file track was read before: its size, then all of it at once.
      std::ifstream in(path, std::ios::binary | std::ios::ate);
      std::vector<uint8_t> whole(static_cast<size_t>(in.tellg()));
      in.seekg(0);
      in.read(reinterpret_cast<char*>(whole.data()), static_cast<std::streamsize>(whole.size()));
      bytes = AudioBytes(std::move(whole));
    }
    std::unique_ptr<AudioDecoder> decoder = ConvertTo(OpenAudioDecoder(std::move(bytes)), PcmFormat{44100, 2});
    if (decoder == nullptr) {
      state.SkipWithError("the WAV did not open");
      break;
    }
    benchmark::DoNotOptimize(decoder.get());
  }
  std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string ogg = PathFrom("ZV_BENCH_OGG", ZV_BENCH_DEFAULT_OGG);
  const std::string mp3 = PathFrom("ZV_BENCH_MP3", ZV_BENCH_DEFAULT_MP3);
  const std::string mp3Half = PathFrom("ZV_BENCH_MP3_HALF", ZV_BENCH_DEFAULT_MP3_HALF);
  benchmark::RegisterBenchmark("DecodeTo44100Stereo/ogg", DecodeTrack, ogg)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("DecodeTo44100Stereo/mp3", DecodeTrack, mp3)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("DecodeTo44100Stereo/mp3_22050_mono", DecodeTrack, mp3Half)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ConvertOnly/48000_stereo", ConvertOnly)
      ->Unit(benchmark::kMillisecond);
  // range(1): 1 mapped, 0 read whole, as a track was opened before.
  benchmark::RegisterBenchmark("OpenTrack", OpenTrack)
      ->ArgNames({"MB", "mapped"})
      ->Args({4, 0})->Args({4, 1})->Args({400, 0})->Args({400, 1})
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
