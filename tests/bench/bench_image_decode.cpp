// Benchmark, not a test: decoding photographs from memory as the slide loader
// does, then fitting each into 1024 pixels per side with the smooth filter;
// and one large photograph (6000 x 4000) decoded fully, and at the DCT scale
// a 1024 x 768 or a 1920 x 1080 screen needs and then resampled to fit it,
// also straight into tiles as the slide loader cuts them.
//
//   ZV_BENCH_IMAGES=/folder/of/jpegs ZV_BENCH_LARGE=big.jpg zv_bench_image_decode [--benchmark_...]
//   zv_bench_image_decode --make-images FOLDER    writes the stand-in set, exits
//   zv_bench_image_decode --make-large FILE       writes the large photograph, exits
//
// Without ZV_BENCH_IMAGES the demo photographs are read. When the folder holds
// no JPEG, a few 1024 x 1024 stand-ins are made with cjpeg in a temporary
// folder. Without ZV_BENCH_LARGE the large photograph is made in a temporary
// folder: ImageMagick upscales a real photograph from stellarium-data.
// tests/bench/decode_vs_djpeg.sh compares the decoding with djpeg.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bundle/image_object.h"
#include "slideshow/slide_layout.h"
#include "slideshow/tile_pixels.h"
#include "slideshow/slideshow.h"

namespace {

struct Photo {
  std::string name;
  std::vector<uint8_t> bytes;
};

bool HasJpegExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  return CImageObject::GetCodecIdFromExtension(name.c_str() + dot, ImageCodecType_Read) ==
         ImageCodec_Jpeg;
}

std::vector<Photo> ReadJpegs(const std::string& folder) {
  std::vector<Photo> photos;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return photos;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (!HasJpegExtension(name)) continue;
    std::ifstream in(folder + "/" + name, std::ios::binary);
    Photo photo{name, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})};
    if (!photo.bytes.empty()) photos.push_back(std::move(photo));
  }
  closedir(dir);
  std::sort(photos.begin(), photos.end(),
            [](const Photo& a, const Photo& b) { return a.name < b.name; });
  return photos;
}

// Something like a sky photograph, so the encoder has real work: smooth
// colour washes, grain and bright specks.
void WriteStandInPpm(const std::string& path, int seed) {
  const int side = 1024;
  std::vector<uint8_t> rgb(static_cast<size_t>(side) * side * 3);
  uint32_t random = 2463534242u + static_cast<uint32_t>(seed) * 7919u;
  auto next = [&random] {
    random ^= random << 13;
    random ^= random >> 17;
    random ^= random << 5;
    return random;
  };
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * side + x) * 3];
      const int grain = static_cast<int>(next() % 24);
      const bool star = next() % 900 == 0;
      p[0] = static_cast<uint8_t>(star ? 255 : (x * (seed + 1) / 16 + grain) % 160);
      p[1] = static_cast<uint8_t>(star ? 255 : (y / 8 + grain) % 120);
      p[2] = static_cast<uint8_t>(star ? 255 : ((x + y) / 12 + grain + seed * 30) % 200);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << side << ' ' << side << "\n255\n";
  out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

bool MakeStandIns(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    const std::string base = folder + "/standin" + std::to_string(i);
    WriteStandInPpm(base + ".ppm", i);
    const std::string command =
        "cjpeg -quality 90 -outfile '" + base + ".jpg' '" + base + ".ppm'";
    const int status = std::system(command.c_str());
    std::remove((base + ".ppm").c_str());
    if (status != 0) return false;
  }
  return true;
}

// The largest size within boxWidth x boxHeight with the picture's
// proportions; the picture's own size when it fits already.
void FitInside(int width, int height, int boxWidth, int boxHeight, int& fittedWidth, int& fittedHeight) {
  fittedWidth = width;
  fittedHeight = height;
  if (width <= boxWidth && height <= boxHeight) return;
  if (int64_t{width} * boxHeight > int64_t{height} * boxWidth) {
    fittedWidth = boxWidth;
    fittedHeight = std::max(1, static_cast<int>(int64_t{height} * boxWidth / width));
  } else {
    fittedHeight = boxHeight;
    fittedWidth = std::max(1, static_cast<int>(int64_t{width} * boxHeight / height));
  }
}

void FitInto1024(CImageData& data) {
  int width = 0;
  int height = 0;
  FitInside(data.GetWidth(), data.GetHeight(), 1024, 1024, width, height);
  data.Resize(width, height, ImageResizeFilter_Smooth);
}

void DecodePhotos(benchmark::State& state, const std::vector<Photo>& photos, bool fit) {
  for (auto _ : state) {
    for (const Photo& photo : photos) {
      CImageObject image;
      if (image.Load(photo.bytes.data(), photo.bytes.size()) == -1) {
        state.SkipWithError(("undecodable: " + photo.name).c_str());
        return;
      }
      if (fit) FitInto1024(*image.GetObjectDataPtr());
      benchmark::DoNotOptimize(image.GetObjectDataPtr()->GetPixels());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(photos.size()));
}

// Resampling alone: a large photograph fitted to the screen, and the slide
// loader's trim onto the 256-pixel tile grid.
void ResizeOnly(benchmark::State& state) {
  const int fromWidth = static_cast<int>(state.range(0));
  const int fromHeight = static_cast<int>(state.range(1));
  CImageData data;
  for (auto _ : state) {
    state.PauseTiming();
    data.Create(fromWidth, fromHeight);
    uint8_t* pixels = data.GetPixels();
    // Opaque, as photographs are.
    for (size_t i = 0; i < static_cast<size_t>(fromWidth) * fromHeight * 4; ++i)
      pixels[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(i * 2654435761u >> 24);
    state.ResumeTiming();
    data.Resize(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    benchmark::DoNotOptimize(data.GetPixels());
  }
}

// How the large photograph is brought to a screen's size.
enum class LargeDecode {
  Full,            // the full size, resampled to fit
  Scaled,          // the DCT scale the fitted size needs, resampled to fit
  ScaledUnfitted,  // that scale alone, to tell decoding from resampling
  HighestDetail,   // what the slideshow asks for without cramming, at its default timing
  ScaledTiles,     // as Scaled, the rows going straight into 256-texel tiles as the loader cuts them
  HighestDetailTiles,  // as HighestDetail, into tiles
};

// The large photograph decoded for a screen (range 0 and 1; 0 x 0: no
// screen, the full size).
void DecodeLarge(benchmark::State& state, const Photo& photo, LargeDecode how) {
  const int screenWidth = static_cast<int>(state.range(0));
  const int screenHeight = static_cast<int>(state.range(1));
  int width = 0;
  int height = 0;
  if (!ReadUprightImageSize(photo.bytes.data(), photo.bytes.size(), width, height)) {
    state.SkipWithError("the large photograph has no readable header");
    return;
  }
  int fittedWidth = width;
  int fittedHeight = height;
  const bool tiles = how == LargeDecode::ScaledTiles || how == LargeDecode::HighestDetailTiles;
  if (how == LargeDecode::HighestDetail || how == LargeDecode::HighestDetailTiles) {
    // The slideshow's own rule: animated slides cover the screen and zoom.
    Slideshow show(nullptr);
    show.SetAnimate(1);
    show.SetScreenSize(screenWidth, screenHeight);
    const FittedSize need = NeededPictureSize(width, height, show.ScreenForSlides(), false, 0);
    fittedWidth = need.width;
    fittedHeight = need.height;
  } else if (screenWidth > 0) {
    FitInside(width, height, screenWidth, screenHeight, fittedWidth, fittedHeight);
  }
  int decodedWidth = 0;
  for (auto _ : state) {
    if (tiles) {
      std::vector<TilePixels> cut;
      TileCutter cutter(ComputeTileLayout(fittedWidth, fittedHeight, kSlideTileLimit), 1, cut);
      if (DecodeRowsAtSize(photo.bytes.data(), photo.bytes.size(), fittedWidth, fittedHeight, nullptr,
                           [&cutter](int y, const uint8_t* row) { cutter.Row(y, row); }) != RowDecode::Done) {
        state.SkipWithError("the large photograph did not decode into tiles");
        return;
      }
      benchmark::DoNotOptimize(cut.data());
      continue;
    }
    CImageData image;
    const bool decoded =
        how == LargeDecode::Full
            ? image.Decode(photo.bytes.data(), photo.bytes.size())
            : image.DecodeAtLeast(photo.bytes.data(), photo.bytes.size(), fittedWidth, fittedHeight);
    if (decoded) decodedWidth = image.GetWidth();
    const bool fitted = how == LargeDecode::ScaledUnfitted || image.Resize(fittedWidth, fittedHeight, ImageResizeFilter_Smooth);
    if (!decoded || !fitted) {
      state.SkipWithError("the large photograph did not decode");
      return;
    }
    benchmark::DoNotOptimize(image.GetPixels());
  }
  state.counters["decoded_width"] = decodedWidth;
  state.counters["fitted_width"] = fittedWidth;
}

// How long a decode takes to give up once its cancel flag is set: the flag
// is set a while into a full-size decode on another thread, and the time
// from setting it to the decode's return is what counts.
void CancelLatency(benchmark::State& state, const Photo& photo) {
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    std::atomic<bool> cancel{false};
    std::atomic<bool> started{false};
    bool decoded = true;
    Clock::time_point returned;
    std::thread decoder([&] {
      CImageData image;
      started = true;
      decoded = image.DecodeAtLeast(photo.bytes.data(), photo.bytes.size(), INT_MAX, INT_MAX, &cancel);
      returned = Clock::now();
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    const Clock::time_point asked = Clock::now();
    cancel = true;
    decoder.join();
    if (decoded) {
      state.SkipWithError("the decode ended before it was cancelled");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(returned - asked).count());
  }
}

// A real photograph upscaled to 6000 x 4000, with grain added so that the
// file holds as much data as a camera's of that size (about 9 MiB): an
// upscaled picture alone is smooth, and its scan data quick to read.
bool MakeLarge(const std::string& path) {
  const std::string source = "/usr/share/stellarium/nebulae/default/etaCarinae.png";
  const std::string command = "convert '" + source +
                              "' -resize 6000x4000^ -gravity center -extent 6000x4000 "
                              "-attenuate 1.0 +noise Gaussian -sampling-factor 2x2 -quality 90 '" +
                              path + "'";
  return std::system(command.c_str()) == 0;
}

Photo ReadPhoto(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Photo{path, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})};
}

std::vector<Photo> g_photos;
Photo g_large;
Photo g_largeProgressive;

// The large photograph as ZV_BENCH_LARGE names it, or made here, and the
// same made progressive by jpegtran (its scans are all read before the
// first row comes out); both read into memory, and the files made here
// removed again.
bool LoadLargePhotographs() {
  char folder[] = "/tmp/zv_bench_large_XXXXXX";
  if (mkdtemp(folder) == nullptr) return false;
  const char* given = std::getenv("ZV_BENCH_LARGE");
  const bool made = given == nullptr || *given == '\0';
  const std::string baseline = made ? std::string(folder) + "/large.jpg" : given;
  const std::string progressive = std::string(folder) + "/progressive.jpg";
  if (!made || MakeLarge(baseline)) {
    g_large = ReadPhoto(baseline);
    const std::string command = "jpegtran -progressive -outfile '" + progressive + "' '" + baseline + "'";
    if (std::system(command.c_str()) == 0) g_largeProgressive = ReadPhoto(progressive);
  }
  if (made) std::remove(baseline.c_str());
  std::remove(progressive.c_str());
  rmdir(folder);
  return !g_large.bytes.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--make-images") return MakeStandIns(argv[2], 4) ? 0 : 1;
  if (argc == 3 && std::string(argv[1]) == "--make-large") return MakeLarge(argv[2]) ? 0 : 1;

  const char* chosen = std::getenv("ZV_BENCH_IMAGES");
  std::string folder = chosen != nullptr && *chosen != '\0' ? chosen : ZV_BENCH_DEFAULT_IMAGES;
  g_photos = ReadJpegs(folder);
  if (g_photos.empty()) {
    char temporary[] = "/tmp/zv_bench_images_XXXXXX";
    if (mkdtemp(temporary) == nullptr || !MakeStandIns(temporary, 4)) {
      std::fprintf(stderr, "no JPEGs in %s, and cjpeg could not make stand-ins\n", folder.c_str());
      return 1;
    }
    folder = temporary;
    g_photos = ReadJpegs(folder);
  }
  size_t bytes = 0;
  for (const Photo& photo : g_photos) bytes += photo.bytes.size();
  std::printf("images: %s (%zu JPEGs, %.1f MiB)\n", folder.c_str(), g_photos.size(),
              bytes / 1048576.0);

  benchmark::RegisterBenchmark("Decode/all", DecodePhotos, std::cref(g_photos), false)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("DecodeFit1024/all", DecodePhotos, std::cref(g_photos), true)
      ->Unit(benchmark::kMillisecond);
  for (const Photo& photo : g_photos) {
    const std::vector<Photo> one{photo};
    benchmark::RegisterBenchmark(("DecodeFit1024/" + photo.name).c_str(),
                                 [one](benchmark::State& state) { DecodePhotos(state, one, true); })
        ->Unit(benchmark::kMillisecond);
  }
  if (!LoadLargePhotographs()) {
    std::fprintf(stderr, "no large photograph: ImageMagick could not make it, or ZV_BENCH_LARGE names no JPEG\n");
    return 1;
  }
  std::printf("large photograph: %s (%.1f MiB)\n", g_large.name.c_str(), g_large.bytes.size() / 1048576.0);
  benchmark::RegisterBenchmark("Large/CancelLatency/baseline", CancelLatency, std::cref(g_large))
      ->UseManualTime()
      ->Iterations(20)
      ->Unit(benchmark::kMillisecond);
  if (!g_largeProgressive.bytes.empty()) {
    benchmark::RegisterBenchmark("Large/CancelLatency/progressive", CancelLatency, std::cref(g_largeProgressive))
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Large/Decode", DecodeLarge, std::cref(g_large), LargeDecode::Full)
      ->Args({0, 0})
      ->Unit(benchmark::kMillisecond);
  const struct {
    const char* name;
    LargeDecode how;
  } ways[] = {{"Large/ScaledDecode", LargeDecode::ScaledUnfitted},
              {"Large/ScaledDecodeFit", LargeDecode::Scaled},
              {"Large/FullDecodeFit", LargeDecode::Full},
              {"Large/HighestDetail", LargeDecode::HighestDetail},
              {"Large/ScaledTiles", LargeDecode::ScaledTiles},
              {"Large/HighestDetailTiles", LargeDecode::HighestDetailTiles}};
  for (const auto& way : ways) {
    benchmark::RegisterBenchmark(way.name, DecodeLarge, std::cref(g_large), way.how)
        ->Args({1024, 768})
        ->Args({1920, 1080})
        ->Unit(benchmark::kMillisecond);
  }

  benchmark::RegisterBenchmark("Resize", ResizeOnly)
      ->Args({4096, 3072, 1024, 768})
      ->Args({3000, 2000, 2816, 1792})
      ->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
