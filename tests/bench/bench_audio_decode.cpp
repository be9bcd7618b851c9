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
#include <ctime>
#include <cstdlib>
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
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
