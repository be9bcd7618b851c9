#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "bundle/byte_order.h"
#include "bundle/image_data.h"
#include "bundle/image_object.h"
#include "bundle/image_preflight.h"
#include "tests/support/allocation_hooks.h"

namespace {

using Bytes = std::vector<uint8_t>;

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

Bytes EncodePng(int width, int height, int channels, const Bytes& pixels) {
  Bytes out;
  stbi_write_png_to_func(AppendBytes, &out, width, height, channels, pixels.data(),
                         width * channels);
  return out;
}

// Four flat quadrants: red, green, blue, white (reading order).
Bytes Quadrants(int width, int height) {
  static const uint8_t colours[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {230, 230, 230}};
  Bytes rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* c = colours[(y >= height / 2) * 2 + (x >= width / 2)];
      std::copy(c, c + 3, &rgb[(static_cast<size_t>(y) * width + x) * 3]);
    }
  return rgb;
}

std::array<int, 4> PixelAt(const CImageData& image, int x, int y) {
  const uint8_t* p = image.GetPixels() + static_cast<size_t>(y) * image.GetStride() + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

// Fills a picture from a function of (x, y) giving B, G, R, A.
template <typename Colour>
void Paint(CImageData& image, int width, int height, Colour colour) {
  ASSERT_TRUE(image.Create(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::array<int, 4> c = colour(x, y);
      uint8_t* p = image.GetPixels() + static_cast<size_t>(y) * image.GetStride() + x * 4;
      for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(c[i]);
    }
}

// A bottom-up BMP file header and info header for width x height at 24 bits
// per pixel, announcing `pixelBytes` of rows after them.
Bytes BitmapHeader(int32_t width, int32_t height, uint32_t pixelBytes, uint32_t compression = 0) {
  Bytes b = {'B', 'M'};
  for (uint32_t v : {54 + pixelBytes, 0u, 54u, 40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)})
    AppendLE32(b, v);
  AppendLE16(b, 1);   // planes
  AppendLE16(b, 24);  // bits per pixel
  for (uint32_t v : {compression, pixelBytes, 2835u, 2835u, 0u, 0u}) AppendLE32(b, v);
  return b;
}

std::string TempFolder() {
  char name[] = "/tmp/zv_image_XXXXXX";
  EXPECT_NE(mkdtemp(name), nullptr);
  return name;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool HaveCjpeg() { return std::system("command -v cjpeg >/dev/null 2>&1") == 0; }

#define REQUIRE_CJPEG() \
  if (!HaveCjpeg()) GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed: no JPEG to test with"

// JPEG made by libjpeg's own encoder, as photographs are; options are
// cjpeg's. No chroma subsampling, so flat colours come back close.
Bytes EncodeJpeg(int width, int height, const Bytes& rgb, const std::string& options = "") {
  const std::string folder = TempFolder();
  {
    std::ofstream ppm(folder + "/in.ppm", std::ios::binary);
    ppm << "P6\n" << width << ' ' << height << "\n255\n";
    ppm.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  }
  const std::string command = "cjpeg -quality 95 -sample 1x1 " + options + " -outfile " + folder +
                              "/out.jpg " + folder + "/in.ppm";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const Bytes jpeg = ReadFile(folder + "/out.jpg");
  std::remove((folder + "/in.ppm").c_str());
  std::remove((folder + "/out.jpg").c_str());
  rmdir(folder.c_str());
  return jpeg;
}

// Where the next 0xFF `marker` pair starts at or after `from`; size if none.
size_t FindMarker(const Bytes& jpeg, uint8_t marker, size_t from = 0) {
  const uint8_t pattern[2] = {0xFF, marker};
  return std::search(jpeg.begin() + from, jpeg.end(), pattern, pattern + 2) - jpeg.begin();
}

// --- decoding -------------------------------------------------------------

TEST(ImageDecode, PngKeepsAlphaAndBitmapRowsComeOutTopDown) {
  Bytes rgba(5 * 3 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 17 + 3);
  const Bytes png = EncodePng(5, 3, 4, rgba);
  CImageData image;
  ASSERT_TRUE(image.Decode(png.data(), png.size()));
  ASSERT_EQ(image.GetWidth(), 5);
  ASSERT_EQ(image.GetHeight(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t* s = &rgba[(y * 5 + x) * 4];
      EXPECT_EQ(PixelAt(image, x, y), (std::array<int, 4>{s[2], s[1], s[0], s[3]}));
    }

  // 3 x 2 pixels: 9 bytes of colour per row, padded to 12, bottom row first.
  Bytes bmp = BitmapHeader(3, 2, 24);
  const uint8_t rows[24] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
  bmp.insert(bmp.end(), rows, rows + 24);
  ASSERT_TRUE(image.Decode(bmp.data(), bmp.size()));
  ASSERT_EQ(image.GetWidth(), 3);
  ASSERT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(PixelAt(image, 0, 0), (std::array<int, 4>{10, 11, 12, 255}));
  EXPECT_EQ(PixelAt(image, 2, 0), (std::array<int, 4>{16, 17, 18, 255}));
  EXPECT_EQ(PixelAt(image, 0, 1), (std::array<int, 4>{1, 2, 3, 255}));
  EXPECT_EQ(PixelAt(image, 2, 1), (std::array<int, 4>{7, 8, 9, 255}));
}

TEST(ImageDecode, BaselineAndProgressiveJpegMatchTheirSource) {
  REQUIRE_CJPEG();
  const int width = 96, height = 64;
  Bytes rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 2);
      p[1] = static_cast<uint8_t>(y * 3);
      p[2] = static_cast<uint8_t>(128 + (x - y) / 2);
    }
  for (const char* options : {"", "-progressive"}) {
    const Bytes jpeg = EncodeJpeg(width, height, rgb, options);
    ASSERT_LT(FindMarker(jpeg, *options ? 0xC2 : 0xC0), jpeg.size()) << "not the frame type asked for";
    CImageData image;
    ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size())) << options;
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    EXPECT_EQ(image.GetStride(), width * 4);
    int worst = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        const std::array<int, 4> got = PixelAt(image, x, y);
        worst = std::max({worst, std::abs(got[2] - p[0]), std::abs(got[1] - p[1]),
                          std::abs(got[0] - p[2]), 255 - got[3]});
      }
    EXPECT_LE(worst, 8) << options;
  }
}

// Every shortened copy fails and leaves the picture empty.
void ExpectEveryCutFails(const Bytes& file) {
  CImageData image;
  for (size_t cut = 0; cut < file.size(); cut += 1 + file.size() / 29) {
    ASSERT_TRUE(image.Decode(file.data(), file.size()));
    EXPECT_FALSE(image.Decode(file.data(), cut)) << "cut at " << cut << " of " << file.size();
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.GetWidth(), 0);
  }
  EXPECT_FALSE(image.Decode(file.data(), file.size() - 1)) << "last byte missing";
}

// Damage anywhere never crashes (the sanitizers watch); whatever still
// decodes is a whole picture.
void ExpectDamageIsSurvived(const Bytes& file, uint32_t seed) {
  CImageData image;
  for (int round = 0; round < 300; ++round) {
    Bytes damaged = file;
    for (int hits = 0; hits < 4; ++hits) {
      seed = seed * 1103515245u + 12345u;
      damaged[(seed >> 8) % damaged.size()] ^= static_cast<uint8_t>(1 + (seed >> 24) % 255);
    }
    if (image.Decode(damaged.data(), damaged.size())) {
      EXPECT_GT(image.GetWidth(), 0);
      EXPECT_NE(image.GetPixels(), nullptr);
    } else {
      EXPECT_TRUE(image.IsEmpty());
    }
  }
}

TEST(ImageDecode, PngAndBitmapCutShortOrDamagedFail) {
  const Bytes png = EncodePng(40, 30, 3, Quadrants(40, 30));
  CImageData source;
  ASSERT_TRUE(source.Decode(png.data(), png.size()));
  const Bytes bmp = source.EncodeWindowsBitmap();
  ExpectEveryCutFails(png);
  ExpectEveryCutFails(bmp);
  ExpectDamageIsSurvived(png, 1);
  ExpectDamageIsSurvived(bmp, 2);

  CImageData image;
  // The decoder reads an odd (negative) compression value as plain rows.
  const Bytes oddCompression = BitmapHeader(64, 5, 0, 0xBC000000u);
  EXPECT_FALSE(image.Decode(oddCompression.data(), oddCompression.size()));
  const Bytes garbage(300, 0x5A);
  EXPECT_FALSE(image.Decode(garbage.data(), garbage.size()));
  EXPECT_FALSE(image.Decode(nullptr, 100));
  EXPECT_FALSE(image.Decode(png.data(), 0));
}

TEST(ImageDecode, JpegCutShortOrDamagedFails) {
  REQUIRE_CJPEG();
  const Bytes baseline = EncodeJpeg(40, 30, Quadrants(40, 30));
  const Bytes progressive = EncodeJpeg(40, 30, Quadrants(40, 30), "-progressive");
  ExpectEveryCutFails(baseline);
  ExpectEveryCutFails(progressive);
  ExpectDamageIsSurvived(baseline, 3);
  ExpectDamageIsSurvived(progressive, 4);
}

TEST(ImageDecode, BadOrMissingHuffmanTablesAreRefused) {
  REQUIRE_CJPEG();
  // The decoder would write past its tables for more than 256 codes.
  const Bytes jpeg = EncodeJpeg(16, 16, Quadrants(16, 16));
  const size_t dht = FindMarker(jpeg, 0xC4);
  ASSERT_LT(dht, jpeg.size());
  const size_t oldLength = static_cast<size_t>(jpeg[dht + 2] << 8 | jpeg[dht + 3]);
  Bytes table = {0xFF, 0xC4, 0, 0, jpeg[dht + 4]};
  for (int i = 0; i < 16; ++i) table.push_back(i < 15 ? 20 : 0);  // 300 codes
  table.resize(table.size() + 300, 0x01);
  table[2] = static_cast<uint8_t>((table.size() - 2) >> 8);
  table[3] = static_cast<uint8_t>(table.size() - 2);
  Bytes forged(jpeg.begin(), jpeg.begin() + dht);
  forged.insert(forged.end(), table.begin(), table.end());
  forged.insert(forged.end(), jpeg.begin() + dht + 2 + oldLength, jpeg.end());

  CImageData image;
  EXPECT_TRUE(image.Decode(jpeg.data(), jpeg.size()));
  EXPECT_FALSE(image.Decode(forged.data(), forged.size()));
  EXPECT_TRUE(image.IsEmpty());

  // A scan naming table slots never defined would decode with uninitialised
  // tables: baseline, and a progressive AC scan. The decoder often fails on
  // such files by itself, so the check is asked directly.
  const Bytes progressive = EncodeJpeg(16, 16, Quadrants(16, 16), "-progressive");
  ASSERT_TRUE(EncodedImagePassesPreflight(jpeg.data(), jpeg.size()));
  ASSERT_TRUE(EncodedImagePassesPreflight(progressive.data(), progressive.size()));
  for (const Bytes* file : {&jpeg, &progressive}) {
    Bytes undefined = *file;
    // The first scan of the baseline file; the first AC scan (spectral
    // start above 0) of the other.
    size_t sos = FindMarker(undefined, 0xDA);
    auto spectralStart = [&] { return undefined[sos + 5 + 2 * undefined[sos + 4]]; };
    while (file == &progressive && sos < undefined.size() && spectralStart() == 0)
      sos = FindMarker(undefined, 0xDA, sos + 2);
    ASSERT_LT(sos, undefined.size());
    for (int i = 0; i < undefined[sos + 4]; ++i) undefined[sos + 6 + 2 * i] = 0x33;
    EXPECT_FALSE(EncodedImagePassesPreflight(undefined.data(), undefined.size()));
    EXPECT_FALSE(image.Decode(undefined.data(), undefined.size()));
  }

  // The decoder skips fill bytes before the start-of-image marker; so does the check.
  Bytes filled(5, 0xFF);
  filled.insert(filled.end(), jpeg.begin(), jpeg.end());
  EXPECT_TRUE(image.Decode(filled.data(), filled.size()));
  filled.resize(5);
  filled.insert(filled.end(), forged.begin(), forged.end());
  EXPECT_FALSE(image.Decode(filled.data(), filled.size()));
}

#ifdef ZV_WATCH_ALLOCATIONS
std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largestAllocation{0};

void OnMalloc(const volatile void*, size_t size) {
  if (!g_watching) return;
  size_t seen = g_largestAllocation;
  while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
  }
}
void OnFree(const volatile void*) {}

// The largest single allocation made while decoding.
size_t LargestAllocationWhileDecoding(const Bytes& file) {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  EXPECT_TRUE(installed);
  CImageData image;
  g_largestAllocation = 0;
  g_watching = true;
  const bool decoded = image.Decode(file.data(), file.size());
  g_watching = false;
  EXPECT_FALSE(decoded);
  return g_largestAllocation;
}
#endif

// Start of image, a baseline frame header of the given size with one
// component, end of image: enough for the size to be read.
Bytes JpegFrameHeaderOnly(int width, int height) {
  return {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08,
          static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
          static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
          0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}

TEST(ImageDecode, SizeGuardRefusesForgedHeadersBeforeAllocating) {
  auto claim = JpegFrameHeaderOnly;
  // Over the side limit; and within it but over 512 MiB of pixels.
  const Bytes tooWide = claim(20000, 20000);
  const Bytes tooMany = claim(12000, 12000);
  const Bytes bitmap = BitmapHeader(20000, 20000, 0);
  const Bytes bitmapTooMany = BitmapHeader(12000, 12000, 0);

  CImageData image;
  for (const Bytes* forged : {&tooWide, &tooMany, &bitmap, &bitmapTooMany}) {
    EXPECT_FALSE(image.Decode(forged->data(), forged->size()));
    EXPECT_TRUE(image.IsEmpty());
#ifdef ZV_WATCH_ALLOCATIONS
    EXPECT_LT(LargestAllocationWhileDecoding(*forged), size_t{1} << 20);
#endif
  }

  // The byte limit is exact.
  const Bytes real = EncodePng(64, 48, 3, Quadrants(64, 48));
  EXPECT_TRUE(image.Decode(real.data(), real.size(), 64 * 48 * 4));
  EXPECT_FALSE(image.Decode(real.data(), real.size(), 64 * 48 * 4 - 1));
  EXPECT_TRUE(ImageSizeAllowed(kMaxImageSide, kMaxImageBytes / 4 / kMaxImageSide));
  EXPECT_FALSE(ImageSizeAllowed(kMaxImageSide, kMaxImageBytes / 4 / kMaxImageSide + 1));
}

// --- resampling -----------------------------------------------------------

TEST(ImageResize, GradientsStaySmoothBothWays) {
  CImageData image;
  Paint(image, 512, 512, [](int x, int y) { return std::array<int, 4>{x / 2, y / 2, 100, 255}; });
  ASSERT_TRUE(image.Resize(128, 128, ImageResizeFilter_Smooth));
  ASSERT_EQ(image.GetWidth(), 128);
  ASSERT_EQ(image.GetHeight(), 128);
  for (int i = 1; i < 127; ++i) {
    // Output pixel i is centred between source pixels 4i+1 and 4i+2, where
    // the blue steps average 2i + 0.5.
    EXPECT_NEAR(PixelAt(image, i, 64)[0], 2 * i + 0.5, 1.0);
    EXPECT_NEAR(PixelAt(image, 64, i)[1], 2 * i + 0.5, 1.0);
    EXPECT_EQ(PixelAt(image, i, i)[2], 100);
    EXPECT_EQ(PixelAt(image, i, i)[3], 255);
  }

  Paint(image, 64, 64, [](int x, int y) { return std::array<int, 4>{x * 4, 255 - y * 4, 0, 255}; });
  ASSERT_TRUE(image.Resize(256, 256, ImageResizeFilter_Smooth));
  for (int i = 1; i < 256; ++i) {
    const int step = PixelAt(image, i, 100)[0] - PixelAt(image, i - 1, 100)[0];
    EXPECT_GE(step, 0) << "at " << i;
    EXPECT_LE(step, 2) << "at " << i;
    const int fall = PixelAt(image, 100, i - 1)[1] - PixelAt(image, 100, i)[1];
    EXPECT_GE(fall, 0) << "at " << i;
    EXPECT_LE(fall, 2) << "at " << i;
  }
}

TEST(ImageResize, CheckerboardShrunkByLargeFactorsTurnsGreyWithEveryFilter) {
  for (int filter : {int{ImageResizeFilter_Box}, int{ImageResizeFilter_Triangle}, int{ImageResizeFilter_Smooth}, 7}) {
    for (int factor : {4, 16}) {
      CImageData image;
      Paint(image, 256, 256, [](int x, int y) {
        const int v = (x + y) % 2 ? 255 : 0;
        return std::array<int, 4>{v, v, v, 255};
      });
      ASSERT_TRUE(image.Resize(256 / factor, 256 / factor, filter));
      int lowest = 255, highest = 0;
      for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
          for (int c = 0; c < 3; ++c) {
            lowest = std::min(lowest, PixelAt(image, x, y)[c]);
            highest = std::max(highest, PixelAt(image, x, y)[c]);
          }
      // Point sampling would give 0 or 255; the border pixels lean a little
      // towards the clamped edge.
      EXPECT_GE(lowest, 119) << "filter " << filter << " factor " << factor;
      EXPECT_LE(highest, 136) << "filter " << filter << " factor " << factor;
    }
  }
}

TEST(ImageResize, TransparentPixelsLendNoColour) {
  // Left half invisible red, right half opaque blue.
  CImageData image;
  Paint(image, 16, 4, [](int x, int) {
    return x < 8 ? std::array<int, 4>{0, 0, 255, 0} : std::array<int, 4>{255, 0, 0, 255};
  });
  ASSERT_TRUE(image.Resize(4, 1));
  for (int x = 0; x < 4; ++x) {
    const std::array<int, 4> p = PixelAt(image, x, 0);
    if (p[3] > 8) {
      EXPECT_LE(p[2], 3) << "red bled into pixel " << x;
    }
  }
  EXPECT_LE(PixelAt(image, 0, 0)[3], 3);
  EXPECT_GE(PixelAt(image, 3, 0)[3], 252);
}

TEST(ImageResize, RefusedSizesLeaveThePictureAlone) {
  CImageData image;
  EXPECT_FALSE(image.Resize(10, 10));  // nothing to resize
  Paint(image, 8, 6, [](int x, int y) { return std::array<int, 4>{x, y, x + y, 255}; });
  const std::vector<uint8_t> before(image.GetPixels(), image.GetPixels() + 8 * 6 * 4);
  for (auto size : {std::array<int, 2>{0, 6}, {8, -1}, {kMaxImageSide + 1, 6}, {kMaxImageSide, kMaxImageSide}}) {
    EXPECT_FALSE(image.Resize(size[0], size[1]));
    ASSERT_EQ(image.GetWidth(), 8);
    ASSERT_EQ(image.GetHeight(), 6);
  }
  EXPECT_TRUE(image.Resize(8, 6));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), image.GetPixels()));
}

// --- Windows bitmap writer ------------------------------------------------

TEST(BitmapWriter, HeadersRowOrderAndPaddingAreExact) {
  CImageData image;
  Paint(image, 3, 2, [](int x, int y) { return std::array<int, 4>{10 * x + 1, 10 * x + 2, 10 * x + 3 + 100 * y, 77}; });
  Bytes expected = BitmapHeader(3, 2, 24);  // positive height: bottom row first
  const uint8_t rows[24] = {1, 2, 103, 11, 12, 113, 21, 22, 123, 0, 0, 0,
                            1, 2, 3, 11, 12, 13, 21, 22, 23, 0, 0, 0};
  expected.insert(expected.end(), rows, rows + 24);
  EXPECT_EQ(image.EncodeWindowsBitmap(), expected);

  CImageData empty;
  EXPECT_TRUE(empty.EncodeWindowsBitmap().empty());
}

TEST(BitmapWriter, OutputDecodesBackIdenticallyForEveryPadding) {
  for (int width : {1, 2, 3, 4, 5, 37}) {
    CImageData image;
    Paint(image, width, 7, [](int x, int y) {
      return std::array<int, 4>{(x * 37 + y * 11) % 256, (x * 5 + y * 91) % 256, (x * y * 13) % 256, 255};
    });
    const Bytes file = image.EncodeWindowsBitmap();
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + rowBytes * 7) << "width " << width;
    CImageData back;
    ASSERT_TRUE(back.Decode(file.data(), file.size()));
    ASSERT_EQ(back.GetWidth(), width);
    ASSERT_EQ(back.GetHeight(), 7);
    EXPECT_TRUE(std::equal(image.GetPixels(), image.GetPixels() + width * 7 * 4, back.GetPixels()))
        << "width " << width;
  }
}

TEST(BitmapWriter, SaveReplacesTheFileWholeAndFailsCleanly) {
  const std::string folder = TempFolder();
  const std::string path = folder + "/wallpaper.bmp";
  { std::ofstream(path) << "previous wallpaper"; }
  CImageData image;
  Paint(image, 5, 4, [](int x, int y) { return std::array<int, 4>{x * 50, y * 60, 9, 255}; });
  ASSERT_TRUE(image.SaveWindowsBitmap(path.c_str()));
  EXPECT_EQ(ReadFile(path), image.EncodeWindowsBitmap());
  EXPECT_FALSE(Exists(path + ".tmp"));

  CImageData empty;
  EXPECT_FALSE(empty.SaveWindowsBitmap(path.c_str()));
  EXPECT_EQ(ReadFile(path), image.EncodeWindowsBitmap()) << "an empty picture must not touch the file";
  EXPECT_FALSE(image.SaveWindowsBitmap((folder + "/missing/wallpaper.bmp").c_str()));
  EXPECT_FALSE(image.SaveWindowsBitmap(""));

  std::remove(path.c_str());
  rmdir(folder.c_str());
}

// --- the object callers hold ----------------------------------------------

TEST(ImageObject, LoadFromMemoryAndFileReturnsZeroOrMinusOne) {
  const Bytes png = EncodePng(32, 16, 3, Quadrants(32, 16));
  CImageObject image;
  EXPECT_EQ(image.Load(png.data(), png.size(), nullptr), 0);
  EXPECT_EQ(image.GetObjectDataPtr()->GetWidth(), 32);
  EXPECT_EQ(image.GetObjectDataPtr()->GetHeight(), 16);
  EXPECT_EQ(image.Load(png.data(), png.size() / 2), -1);
  EXPECT_TRUE(image.GetObjectDataPtr()->IsEmpty()) << "a failed load must not leave the old picture";

  const std::string folder = TempFolder();
  const std::string path = folder + "/picture.png";
  { std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size())); }
  EXPECT_EQ(image.Load(path.c_str(), nullptr, 0, 0), 0);
  EXPECT_EQ(image.GetObjectDataPtr()->GetWidth(), 32);
  EXPECT_EQ(image.Load((folder + "/missing.png").c_str(), nullptr, 0, 0), -1);
  EXPECT_TRUE(image.GetObjectDataPtr()->IsEmpty());
  EXPECT_EQ(image.Load(folder.c_str(), nullptr, 0, 0), -1);
  std::remove(path.c_str());
  rmdir(folder.c_str());
}

TEST(ImageObject, CodecIdsAndSavingAsBitmap) {
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension("bmp", ImageCodecType_Write), ImageCodec_Bmp);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension(".BMP", ImageCodecType_Write), ImageCodec_Bmp);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension("jpg", ImageCodecType_Write), ImageCodec_None);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension("JPEG", ImageCodecType_Read), ImageCodec_Jpeg);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension("png", ImageCodecType_Read), ImageCodec_Png);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension("gif", ImageCodecType_Read), ImageCodec_None);
  EXPECT_EQ(CImageObject::GetCodecIdFromExtension(nullptr, ImageCodecType_Read), ImageCodec_None);

  const Bytes png = EncodePng(6, 5, 3, Quadrants(6, 5));
  CImageObject image;
  ASSERT_EQ(image.Load(png.data(), png.size()), 0);
  image.GetObjectDataPtr()->Resize(12, 10, ImageResizeFilter_Smooth);
  const std::string folder = TempFolder();
  const std::string path = folder + "/out.bmp";
  const long codec = CImageObject::GetCodecIdFromExtension("bmp", ImageCodecType_Write);
  EXPECT_EQ(image.Save(path.c_str(), ImageCodec_Jpeg, nullptr), -1);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(image.Save(path.c_str(), codec, nullptr), 0);

  CImageObject back;
  ASSERT_EQ(back.Load(path.c_str(), nullptr, 0, 0), 0);
  EXPECT_EQ(back.GetObjectDataPtr()->GetWidth(), 12);
  EXPECT_EQ(back.GetObjectDataPtr()->GetHeight(), 10);
  EXPECT_TRUE(std::equal(image.GetObjectDataPtr()->GetPixels(), image.GetObjectDataPtr()->GetPixels() + 12 * 10 * 4,
                         back.GetObjectDataPtr()->GetPixels()));
  std::remove(path.c_str());
  rmdir(folder.c_str());
}

}  // namespace
