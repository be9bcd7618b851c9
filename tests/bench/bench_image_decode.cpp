// Benchmark, not a test: decoding photographs from memory as the slide loader
// does, then fitting each into 1024 pixels per side with the smooth filter.
//
//   ZV_BENCH_IMAGES=/folder/of/jpegs zv_bench_image_decode [--benchmark_...]
//   zv_bench_image_decode --make-images FOLDER    writes the stand-in set, exits
//
// Without ZV_BENCH_IMAGES the demo photographs are read. When the folder holds
// no JPEG, a few 1024 x 1024 stand-ins are made with cjpeg in a temporary
// folder. tests/bench/decode_vs_djpeg.sh compares the decoding with djpeg.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bundle/image_object.h"

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

// The largest size within 1024 x 1024 with the picture's proportions.
void FitInto1024(CImageData& data) {
  const int width = data.GetWidth();
  const int height = data.GetHeight();
  const int longer = std::max(width, height);
  if (longer <= 1024) return;
  data.Resize(std::max(1, static_cast<int>(int64_t{width} * 1024 / longer)),
              std::max(1, static_cast<int>(int64_t{height} * 1024 / longer)),
              ImageResizeFilter_Smooth);
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
    for (size_t i = 0; i < static_cast<size_t>(fromWidth) * fromHeight * 4; ++i)
      pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    state.ResumeTiming();
    data.Resize(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    benchmark::DoNotOptimize(data.GetPixels());
  }
}

std::vector<Photo> g_photos;

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--make-images") return MakeStandIns(argv[2], 4) ? 0 : 1;

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
  benchmark::RegisterBenchmark("Resize", ResizeOnly)
      ->Args({4096, 3072, 1024, 768})
      ->Args({3000, 2000, 2816, 1792})
      ->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
