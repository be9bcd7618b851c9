// Benchmark, not a test: the loader pipeline per photograph of the demo
// images.bdl, as the slideshow runs it: read the bytes from the bundle,
// decode, resize and cut the tiles, then upload every tile. The upload is
// simulated by copying each level of the tile's texels into a buffer of the
// level's size, which is what the copy into a locked surface amounts to.
//
//   zv_bench_slide_loader [BUNDLE] [--benchmark_...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "slideshow/bundle_slideshow_host.h"
#include "slideshow/image_loader.h"

namespace {

std::string bundlePath = ZV_BENCH_DEFAULT_BUNDLE;

class CopiedTile : public SlideTexture {
 public:
  std::vector<uint8_t> texels;
};

class SimulatedUpload : public ImagingBackend {
 public:
  std::unique_ptr<SlidePicture> NewPicture() override { return std::make_unique<ImagePicture>(); }
  SlideTexture* UploadTile(const TilePixels& texels, int32_t bits, int32_t) override {
    auto* tile = new CopiedTile;
    const int bytesPerTexel = bits == 32 ? 4 : 2;
    for (size_t k = 0; k < texels.levels.size(); ++k) {
      const size_t bytes = static_cast<size_t>(texels.LevelWidth(static_cast<int32_t>(k))) *
                           texels.LevelHeight(static_cast<int32_t>(k)) * bytesPerTexel;
      tile->texels.resize(bytes);
      std::memcpy(tile->texels.data(), texels.levels[k].data(), std::min(bytes, texels.levels[k].size()));
    }
    return tile;
  }
};

void LoadEveryPhotograph(benchmark::State& state, bool cram) {
  SimulatedUpload upload;
  BundleSlideshowHost host(&upload);
  if (!host.OpenBundle(bundlePath.c_str()) || host.PhotoCount() == 0) {
    state.SkipWithError(("no photographs in " + bundlePath).c_str());
    return;
  }
  int64_t photographs = 0;
  for (auto _ : state) {
    for (int32_t photo = 0; photo < host.PhotoCount(); ++photo) {
      host.PhotoFile(photo)->Free();  // read from the file each time, as on a first showing
      CImgLoadThread loader(&upload);
      loader.SetSource(host.PhotoSourceOf(photo), host.DimsOf(photo));
      loader.SetTileLimit(256);
      loader.SetTextureBits(32);
      loader.SetMipMap(1);
      loader.SetCram(cram);
      loader.SetCramSize(1024);
      loader.Start(0);
      CSlideImage* slide = loader.Finish();
      benchmark::DoNotOptimize(slide);
      delete slide;
      ++photographs;
    }
  }
  // Seconds per photograph of wall time (the work runs on the loader thread).
  state.counters["s_per_photo"] =
      benchmark::Counter(static_cast<double>(photographs), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LoadPhotographs(benchmark::State& state) { LoadEveryPhotograph(state, false); }
void BM_LoadPhotographsCrammed1024(benchmark::State& state) { LoadEveryPhotograph(state, true); }

BENCHMARK(BM_LoadPhotographs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadPhotographsCrammed1024)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) bundlePath = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
