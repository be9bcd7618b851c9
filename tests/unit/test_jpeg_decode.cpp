// JPEG decoding through libjpeg: colour spaces, DCT scaling, EXIF
// orientation, cancelling and running out of memory.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bundle/exif_orientation.h"
#include "bundle/image_data.h"
#include "bundle/jpeg_reader.h"
#include "tests/support/allocation_hooks.h"
#include "tests/support/jpeg_samples.h"
#include "tests/support/temp_folder.h"

namespace {

using jpeg_samples::Bytes;
using jpeg_samples::Gradient;
using jpeg_samples::Options;
using jpeg_samples::Picture;
using jpeg_samples::Rgb;
using jpeg_samples::Stored;

// The largest difference of any colour channel at (x, y), and 255 when the
// pixel is not opaque.
int Difference(const CImageData& image, int x, int y, const Rgb& expected) {
  const uint8_t* p = image.GetPixels() + static_cast<size_t>(y) * image.GetStride() + x * 4;
  if (p[3] != 255) return 255;
  return std::max({std::abs(p[2] - expected[0]), std::abs(p[1] - expected[1]), std::abs(p[0] - expected[2])});
}

// The largest difference over all pixels but a margin next to the
// quadrants' edges, where the encoder's blocks blur them.
int WorstAwayFromEdges(const CImageData& image, const Picture& expected, int margin) {
  int worst = 0;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      const int dx = std::abs(x - expected.width / 2);
      const int dy = std::abs(y - expected.height / 2);
      if (dx < margin || dy < margin) continue;
      worst = std::max(worst, Difference(image, x, y, expected.At(x, y)));
    }
  return worst;
}

Bytes ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// --- colour spaces ----------------------------------------------------------

TEST(JpegColours, EveryStoredColourSpaceComesBackAsRgb) {
  const Picture picture = jpeg_samples::Quadrants(64, 48);
  struct Case {
    const char* name;
    Stored stored;
  };
  for (const Case& c : {Case{"colour", Stored::Colour}, Case{"Adobe CMYK (inverted)", Stored::AdobeCmyk},
                        Case{"Adobe YCCK", Stored::AdobeYcck}, Case{"CMYK without Adobe marker", Stored::PlainCmyk}}) {
    for (bool progressive : {false, true}) {
      Options options;
      options.stored = c.stored;
      options.progressive = progressive;
      const Bytes jpeg = jpeg_samples::Encode(picture, options);
      CImageData image;
      ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size())) << c.name << (progressive ? " progressive" : "");
      ASSERT_EQ(image.GetWidth(), 64);
      ASSERT_EQ(image.GetHeight(), 48);
      EXPECT_LE(WorstAwayFromEdges(image, picture, 4), 8) << c.name << (progressive ? " progressive" : "");
    }
  }
}

TEST(JpegColours, GreyComesBackAsEqualChannels) {
  const Picture picture = Gradient(40, 24);
  Options options;
  options.stored = Stored::Grey;
  for (bool progressive : {false, true}) {
    options.progressive = progressive;
    const Bytes jpeg = jpeg_samples::Encode(picture, options);
    CImageData image;
    ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size()));
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 40; ++x) {
        const uint8_t* p = image.GetPixels() + y * image.GetStride() + x * 4;
        const Rgb c = picture.At(x, y);
        const int grey = (c[0] * 77 + c[1] * 150 + c[2] * 29 + 128) >> 8;
        ASSERT_EQ(p[0], p[1]);
        ASSERT_EQ(p[1], p[2]);
        EXPECT_NEAR(p[0], grey, 6) << x << "," << y;
        EXPECT_EQ(p[3], 255);
      }
  }
}

// --- scaling ----------------------------------------------------------------

TEST(JpegScale, SmallestScaleNotBelowTheNeed) {
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 1024, 768), 4);  // 1500 x 1000; 1/8 gives 750 x 500
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 1920, 1080), 2);
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 750, 500), 8);
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 751, 500), 4);
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 750, 501), 4);   // both sides count
  EXPECT_EQ(ChooseJpegScale(6000, 4000, 3001, 10), 1);
  EXPECT_EQ(ChooseJpegScale(1000, 800, 4000, 4000), 1);  // a larger need gets the full size
  EXPECT_EQ(ChooseJpegScale(1000, 800, 0, 0), 8);
  EXPECT_EQ(ChooseJpegScale(1000, 800, -5, 101), 4);
  // Scaled sides round up, as libjpeg's do: 1001 / 8 gives 126.
  EXPECT_EQ(ChooseJpegScale(1001, 9, 126, 2), 8);
  EXPECT_EQ(ChooseJpegScale(1000, 9, 126, 2), 4);
  EXPECT_EQ(ChooseJpegScale(INT_MAX, INT_MAX, INT_MAX, 1), 1);
}

TEST(JpegScale, DecodeAtLeastGivesTheScaledPictureLibjpegMakes) {
  const Picture picture = Gradient(203, 121);
  const Bytes jpeg = jpeg_samples::Encode(picture, Options{Stored::Colour, true, 0, true, true, 92});
  CImageData full;
  ASSERT_TRUE(full.Decode(jpeg.data(), jpeg.size()));
  ASSERT_EQ(full.GetWidth(), 203);
  struct Case {
    int needWidth, needHeight, width, height;
  };
  for (const Case& c : {Case{26, 16, 26, 16}, Case{27, 16, 51, 31}, Case{100, 60, 102, 61},
                        Case{102, 61, 102, 61}, Case{103, 10, 203, 121}, Case{1000, 1000, 203, 121}}) {
    CImageData image;
    ASSERT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), c.needWidth, c.needHeight))
        << c.needWidth << "x" << c.needHeight;
    EXPECT_EQ(image.GetWidth(), c.width) << c.needWidth << "x" << c.needHeight;
    EXPECT_EQ(image.GetHeight(), c.height) << c.needWidth << "x" << c.needHeight;
    // The same picture: the full decode shrunk to that size comes close.
    CImageData reference;
    ASSERT_TRUE(reference.Decode(jpeg.data(), jpeg.size()));
    ASSERT_TRUE(reference.Resize(image.GetWidth(), image.GetHeight()));
    long total = 0;
    for (int i = 0; i < image.GetWidth() * image.GetHeight() * 4; ++i)
      total += std::abs(image.GetPixels()[i] - reference.GetPixels()[i]);
    EXPECT_LT(total / (image.GetWidth() * image.GetHeight() * 4.0), 3.0) << c.needWidth << "x" << c.needHeight;
  }
}

TEST(JpegScale, OtherFormatsAndLimitsAtTheScaledSize) {
  CImageData source;
  ASSERT_TRUE(source.Create(40, 30));
  const std::vector<uint8_t> bmp = source.EncodeWindowsBitmap();
  CImageData image;
  ASSERT_TRUE(image.DecodeAtLeast(bmp.data(), bmp.size(), 5, 5));
  EXPECT_EQ(image.GetWidth(), 40) << "only JPEGs are decoded scaled";

  // maxBytes limits what comes out: a 1/4 decode fits where the full one does not.
  const Bytes jpeg = jpeg_samples::Encode(Gradient(160, 96));
  EXPECT_FALSE(image.Decode(jpeg.data(), jpeg.size(), 160 * 96 * 4 - 1));
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 40, 24, nullptr, 40 * 24 * 4));
  EXPECT_EQ(image.GetWidth(), 40);
  EXPECT_FALSE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 40, 24, nullptr, 40 * 24 * 4 - 1));
  EXPECT_TRUE(image.IsEmpty());
}

TEST(JpegScale, ProgressiveCoefficientsCountAgainstTheLimit) {
  // 1024 x 1024 in 4:4:4 keeps 6 MiB of coefficients even for a 1/8 decode
  // of 64 KiB; libjpeg may take twice the pixel limit.
  const Bytes jpeg = jpeg_samples::Encode(Gradient(1024, 1024), Options{Stored::Colour, true, 0, true, false, 80});
  CImageData image;
  EXPECT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 128, 128, nullptr, 4u << 20));
  EXPECT_EQ(image.GetWidth(), 128);
  EXPECT_FALSE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 128, 128, nullptr, 2u << 20));
  EXPECT_TRUE(image.IsEmpty());
}

// --- orientation ------------------------------------------------------------

TEST(JpegOrientation, EveryOrientationDecodesUprightInBothByteOrders) {
  // Neither side a multiple of the 16-row bands the rows pass through.
  const Picture upright = jpeg_samples::Quadrants(56, 36);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (bool bigEndian : {true, false}) {
      Options options;
      options.orientation = orientation;
      options.bigEndianExif = bigEndian;
      const Bytes jpeg = jpeg_samples::Encode(jpeg_samples::StoredFor(upright, orientation), options);
      CImageData image;
      ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size())) << orientation;
      ASSERT_EQ(image.GetWidth(), 56) << "orientation " << orientation;
      ASSERT_EQ(image.GetHeight(), 36) << "orientation " << orientation;
      EXPECT_LE(WorstAwayFromEdges(image, upright, 4), 8) << "orientation " << orientation
                                                           << (bigEndian ? " MM" : " II");
      int width = 0, height = 0;
      ASSERT_TRUE(ReadUprightImageSize(jpeg.data(), jpeg.size(), width, height));
      EXPECT_EQ(width, 56);
      EXPECT_EQ(height, 36);
    }
  }
}

TEST(JpegOrientation, TurnedPicturesScaleByTheirUprightSides) {
  // Stored 64 x 128, shown 128 x 64 (orientation 6, 8) or as stored (3).
  const Picture upright = jpeg_samples::Quadrants(128, 64);
  for (int orientation : {6, 8, 3}) {
    Options options;
    options.orientation = orientation;
    options.stored = Stored::AdobeCmyk;  // through the band as well as turned
    const Bytes jpeg = jpeg_samples::Encode(jpeg_samples::StoredFor(upright, orientation), options);
    CImageData image;
    // 1/4 is the smallest scale that leaves 32 x 16 upright; were the need
    // taken for the stored sides, 1/2 would be chosen.
    ASSERT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 32, 16)) << orientation;
    EXPECT_EQ(image.GetWidth(), 32) << orientation;
    EXPECT_EQ(image.GetHeight(), 16) << orientation;
    EXPECT_LE(WorstAwayFromEdges(image, jpeg_samples::Quadrants(32, 16), 3), 12) << orientation;
  }
}

TEST(JpegOrientation, MissingOddOrDamagedExifLeavesThePictureAsStored) {
  const Picture stored = jpeg_samples::Quadrants(48, 32);
  Options options;
  options.orientation = 6;
  const Bytes good = jpeg_samples::Encode(stored, options);
  const uint8_t tag[2] = {0x01, 0x12};  // Orientation, big-endian
  const size_t tagAt = std::search(good.begin(), good.end(), tag, tag + 2) - good.begin();
  ASSERT_LT(tagAt + 10, good.size());
  ASSERT_EQ(good[tagAt + 9], 6);

  Bytes outOfRange = good;
  outOfRange[tagAt + 9] = 9;
  Bytes notShort = good;
  notShort[tagAt + 3] = 7;  // UNDEFINED instead of SHORT
  Bytes badOffset = good;
  const size_t ifd = tagAt - 2;
  badOffset[ifd - 1] = 0xF0;  // IFD0 beyond the block
  for (const Bytes* jpeg : {&outOfRange, &notShort, &badOffset}) {
    CImageData image;
    ASSERT_TRUE(image.Decode(jpeg->data(), jpeg->size()));
    EXPECT_EQ(image.GetWidth(), 48);
    EXPECT_LE(WorstAwayFromEdges(image, stored, 4), 8);
  }
  EXPECT_EQ(ExifOrientation(nullptr, 0), 1);
  const Bytes segment = jpeg_samples::ExifOrientationSegment(8, false);
  EXPECT_EQ(ExifOrientation(segment.data(), segment.size()), 8);
  EXPECT_EQ(ExifOrientation(segment.data(), segment.size() - 8), 1) << "value cut off";
}

TEST(JpegOrientation, UprightLinesCoverEveryPixelOnce) {
  // A 5 x 3 picture's rows for each orientation: every upright pixel is hit
  // once, and stored (0, 0) lands on the corner the orientation names.
  const int width = 5, height = 3;
  const size_t cornerOfOrigin[9] = {0, 0, 4, 14, 10, 0, 2, 14, 12};  // in upright pixels
  for (int orientation = 1; orientation <= 8; ++orientation) {
    std::vector<int> hits(15, 0);
    for (int y = 0; y < height; ++y) {
      const UprightLine line = UprightLineOfRow(orientation, width, height, y);
      for (int x = 0; x < width; ++x) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(line.first) + x * line.step;
        ASSERT_GE(at, 0);
        ASSERT_LT(at, 15);
        ++hits[static_cast<size_t>(at)];
      }
    }
    EXPECT_EQ(std::count(hits.begin(), hits.end(), 1), 15) << orientation;
    EXPECT_EQ(UprightLineOfRow(orientation, width, height, 0).first, cornerOfOrigin[orientation]) << orientation;
    EXPECT_EQ(OrientationSwapsSides(orientation), orientation >= 5);
  }
}

// --- the upright size from the header ----------------------------------------

TEST(UprightImageSize, ReadFromTheHeaderAlone) {
  Options options;
  options.orientation = 5;
  const Bytes jpeg = jpeg_samples::Encode(jpeg_samples::Quadrants(40, 16), options);
  int width = 0, height = 0;
  ASSERT_TRUE(ReadUprightImageSize(jpeg.data(), jpeg.size(), width, height));
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 40);
  // Up to the first scan's header is enough; no pixel data is needed.
  const uint8_t sos[2] = {0xFF, 0xDA};
  const size_t scan = std::search(jpeg.begin(), jpeg.end(), sos, sos + 2) - jpeg.begin();
  ASSERT_LT(scan, jpeg.size());
  const size_t header = scan + 2 + (jpeg[scan + 2] << 8 | jpeg[scan + 3]);
  width = height = 0;
  EXPECT_TRUE(ReadUprightImageSize(jpeg.data(), header, width, height));
  EXPECT_EQ(width, 16);
  CImageData image;
  EXPECT_FALSE(image.Decode(jpeg.data(), header));

  CImageData bitmap;
  ASSERT_TRUE(bitmap.Create(7, 3));
  const std::vector<uint8_t> bmp = bitmap.EncodeWindowsBitmap();
  ASSERT_TRUE(ReadUprightImageSize(bmp.data(), bmp.size(), width, height));
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 3);

  const Bytes garbage(64, 0x42);
  EXPECT_FALSE(ReadUprightImageSize(garbage.data(), garbage.size(), width, height));
  EXPECT_FALSE(ReadUprightImageSize(jpeg.data(), 20, width, height));
  EXPECT_FALSE(ReadUprightImageSize(nullptr, 10, width, height));
}

// --- damage, cancelling, memory ----------------------------------------------

TEST(JpegFailures, DamagedScanDataFailsInsteadOfShowingGreyBlocks) {
  const Bytes jpeg = jpeg_samples::Encode(Gradient(256, 256), Options{Stored::Colour, false, 0, true, true, 90});
  const uint8_t sos[2] = {0xFF, 0xDA};
  const size_t scan = std::search(jpeg.begin(), jpeg.end(), sos, sos + 2) - jpeg.begin();
  ASSERT_LT(scan, jpeg.size());
  // A restart-free scan whose middle is replaced by a run of bad codes: the
  // file stays well formed for the structural checks.
  Bytes damaged = jpeg;
  for (size_t i = scan + 40 + (jpeg.size() - scan) / 2; i < scan + 40 + (jpeg.size() - scan) / 2 + 64; ++i)
    damaged[i] = 0xFE;
  CImageData image;
  EXPECT_TRUE(image.Decode(jpeg.data(), jpeg.size()));
  EXPECT_FALSE(image.Decode(damaged.data(), damaged.size()));
  EXPECT_TRUE(image.IsEmpty());
  // A stray byte before a marker loses nothing.
  Bytes padded = jpeg;
  padded.insert(padded.end() - 2, 0x00);
  EXPECT_TRUE(image.Decode(padded.data(), padded.size()));
}

TEST(JpegFailures, CancelBeforeTheStartDecodesNothing) {
  const Bytes jpeg = jpeg_samples::Encode(Gradient(64, 64));
  std::atomic<bool> cancel{true};
  CImageData image;
  ASSERT_TRUE(image.Create(4, 4));
  EXPECT_FALSE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 8, 8, &cancel));
  EXPECT_TRUE(image.IsEmpty());
  cancel = false;
  EXPECT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 8, 8, &cancel));
}

// --- rows at a size ---------------------------------------------------------

struct RowsSeen {
  std::vector<uint8_t> pixels;
  std::vector<int> order;
};

RowDecode CollectRows(const Bytes& jpeg, int width, int height, RowsSeen& seen,
                      const std::atomic<bool>* cancel = nullptr) {
  seen.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
  seen.order.clear();
  return DecodeRowsAtSize(jpeg.data(), jpeg.size(), width, height, cancel, [&](int y, const uint8_t* row) {
    seen.order.push_back(y);
    std::copy(row, row + width * 4, seen.pixels.begin() + static_cast<ptrdiff_t>(y) * width * 4);
  });
}

TEST(JpegRows, RowsAtASizeAreTheScaledDecodeResampled) {
  const Picture picture = Gradient(203, 121);
  const Bytes samples[] = {
      jpeg_samples::Encode(picture, Options{Stored::Colour, false, 0, true, true, 90}),
      jpeg_samples::Encode(picture, Options{Stored::Colour, true, 0, true, true, 90}),
      jpeg_samples::Encode(picture, Options{Stored::AdobeYcck, false, 0, true, false, 90}),
      jpeg_samples::Encode(picture, Options{Stored::Grey, false, 0, true, false, 90})};
  struct Size {
    int width, height;
  };
  // Shrunk past a DCT scale, exact, enlarged, and squeezed as cramming does.
  for (const Bytes& jpeg : samples) {
    for (const Size& size : {Size{60, 36}, Size{203, 121}, Size{300, 180}, Size{101, 200}}) {
      RowsSeen seen;
      ASSERT_EQ(CollectRows(jpeg, size.width, size.height, seen), RowDecode::Done) << size.width;
      ASSERT_EQ(seen.order.size(), static_cast<size_t>(size.height));
      for (int y = 0; y < size.height; ++y) ASSERT_EQ(seen.order[static_cast<size_t>(y)], y);
      CImageData reference;
      ASSERT_TRUE(reference.DecodeAtLeast(jpeg.data(), jpeg.size(), size.width, size.height));
      ASSERT_TRUE(reference.Resize(size.width, size.height));
      EXPECT_TRUE(std::equal(seen.pixels.begin(), seen.pixels.end(), reference.GetPixels()))
          << size.width << " x " << size.height;
    }
  }
}

TEST(JpegRows, TurnedFilesOtherFormatsDamageAndCancel) {
  Options turned;
  turned.orientation = 6;
  const Bytes sideways = jpeg_samples::Encode(jpeg_samples::StoredFor(jpeg_samples::Quadrants(56, 36), 6), turned);
  RowsSeen seen;
  EXPECT_EQ(CollectRows(sideways, 56, 36, seen), RowDecode::WholePictureNeeded);
  CImageData bitmap;
  ASSERT_TRUE(bitmap.Create(40, 30));
  const std::vector<uint8_t> bmp = bitmap.EncodeWindowsBitmap();
  EXPECT_EQ(DecodeRowsAtSize(bmp.data(), bmp.size(), 40, 30, nullptr, [](int, const uint8_t*) {}),
            RowDecode::WholePictureNeeded);

  const Bytes jpeg = jpeg_samples::Encode(Gradient(256, 256), Options{Stored::Colour, false, 0, true, true, 90});
  const Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(jpeg.size() / 2));
  EXPECT_EQ(CollectRows(cut, 128, 128, seen), RowDecode::Failed);
  EXPECT_EQ(CollectRows(jpeg, 0, 128, seen), RowDecode::Failed);
  EXPECT_EQ(CollectRows(jpeg, 20000, 128, seen), RowDecode::Failed) << "beyond the side limit";
  std::atomic<bool> cancel{true};
  EXPECT_EQ(CollectRows(jpeg, 128, 128, seen, &cancel), RowDecode::Failed);
  EXPECT_TRUE(seen.order.empty());
}

#ifdef ZV_WATCH_ALLOCATIONS
// Sets the cancel flag from inside libjpeg: at the first allocation after
// the picture's pixels, which libjpeg makes while it starts decoding. The
// rows it then must not finish are watched as the pixels are freed.
struct CancelWatch {
  std::atomic<bool> armed{false};
  std::atomic<bool> cancel{false};
  std::atomic<const volatile void*> pixels{nullptr};
  size_t pixelBytes = 0;
  std::atomic<bool> lastRowWritten{false};
};
CancelWatch* g_watch = nullptr;

void CancelOnAllocation(const volatile void* block, size_t size) {
  CancelWatch* watch = g_watch;
  if (watch == nullptr || !watch->armed) return;
  if (watch->pixels == nullptr) {
    if (size == watch->pixelBytes) watch->pixels = block;
  } else {
    watch->cancel = true;
    watch->armed = false;
  }
}

void NoteLastRowOnFree(const volatile void* block) {
  CancelWatch* watch = g_watch;
  if (watch == nullptr || block == nullptr || block != watch->pixels) return;
  const volatile uint8_t* bytes = static_cast<const volatile uint8_t*>(block);
  watch->lastRowWritten = bytes[watch->pixelBytes - 1] == 255;  // alpha of the last pixel
}

TEST(JpegFailures, CancelDuringTheDecodeStopsItBeforeTheLastRow) {
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(CancelOnAllocation, NoteLastRowOnFree) != 0;
  ASSERT_TRUE(installed);
  // Baseline stops in its rows; progressive while it reads its scans, before any row.
  for (bool progressive : {false, true}) {
    const Bytes jpeg = jpeg_samples::Encode(Gradient(512, 384), Options{Stored::Colour, progressive, 0, true, true, 85});
    CancelWatch watch;
    watch.pixelBytes = 512 * 384 * 4;
    g_watch = &watch;
    CImageData image;
    watch.armed = true;
    const bool decoded = image.DecodeAtLeast(jpeg.data(), jpeg.size(), 512, 384, &watch.cancel);
    g_watch = nullptr;
    ASSERT_NE(watch.pixels.load(), nullptr) << "the pixels were never allocated";
    EXPECT_TRUE(watch.cancel) << "libjpeg allocated nothing while starting";
    EXPECT_FALSE(decoded) << (progressive ? "progressive" : "baseline");
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(watch.lastRowWritten) << (progressive ? "progressive" : "baseline");
  }
}

// Runs this test again in a child whose allocator refuses any block over
// 4 MiB (returning null, as a machine out of memory does); the child checks
// that each such refusal is a failed decode. The parent makes the JPEGs:
// their pictures alone are larger than that.
TEST(JpegFailures, AllocationFailureIsAFailedDecode) {
  const char* folder = std::getenv("ZV_ALLOCATION_LIMITED");
  if (folder == nullptr) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    // 1700 x 1700: 11 MiB of pixels; 4:4:4 progressive keeps 5.5 MiB of
    // coefficients per component, in one block each.
    const Picture picture = Gradient(1700, 1700);
    for (bool progressive : {false, true}) {
      const Bytes jpeg = jpeg_samples::Encode(picture, Options{Stored::Colour, progressive, 0, true, false, 75});
      temp.Write(progressive ? "progressive.jpg" : "baseline.jpg", std::string(jpeg.begin(), jpeg.end()));
    }
    const char* inherited = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(inherited != nullptr ? inherited : "") +
                                ":allocator_may_return_null=1:max_allocation_size_mb=4";
    const std::string command = "ZV_ALLOCATION_LIMITED='" + temp.path() + "' ASAN_OPTIONS='" + options +
                                "' /proc/" + std::to_string(getpid()) +
                                "/exe --gtest_filter=JpegFailures.AllocationFailureIsAFailedDecode";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's checks failed, or it crashed";
    return;
  }
  const Bytes baseline = ReadWholeFile(std::string(folder) + "baseline.jpg");
  const Bytes progressive = ReadWholeFile(std::string(folder) + "progressive.jpg");
  ASSERT_FALSE(baseline.empty());
  ASSERT_FALSE(progressive.empty());
  CImageData image;
  // Our own pixel store cannot be had.
  EXPECT_FALSE(image.Decode(baseline.data(), baseline.size()));
  EXPECT_TRUE(image.IsEmpty());
  // A quarter's pixels can; libjpeg's coefficient store cannot.
  EXPECT_FALSE(image.DecodeAtLeast(progressive.data(), progressive.size(), 425, 425));
  EXPECT_TRUE(image.IsEmpty());
  // Baseline keeps no coefficients, so the same decode goes through.
  EXPECT_TRUE(image.DecodeAtLeast(baseline.data(), baseline.size(), 425, 425));
  EXPECT_EQ(image.GetWidth(), 425);
}
// The largest block allocated while a watch is armed.
std::atomic<bool> g_sizing{false};
std::atomic<size_t> g_largest{0};

void NoteLargest(const volatile void*, size_t size) {
  if (!g_sizing) return;
  size_t seen = g_largest.load();
  while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
  }
}

void IgnoreFree(const volatile void*) {}

size_t LargestBlockDuring(const std::function<void()>& work) {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(NoteLargest, IgnoreFree) != 0;
  EXPECT_TRUE(installed);
  g_largest = 0;
  g_sizing = true;
  work();
  g_sizing = false;
  return g_largest;
}

TEST(JpegRows, RowsAtASizeNeverHoldThePicture) {
  const Bytes jpeg = jpeg_samples::Encode(Gradient(1024, 1024), Options{Stored::Colour, false, 0, true, true, 85});
  const size_t picture = 700 * 700 * 4;
  const size_t whole = LargestBlockDuring([&] {
    CImageData image;
    ASSERT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 700, 700));
    ASSERT_TRUE(image.Resize(700, 700));
  });
  EXPECT_GE(whole, picture) << "the watch sees the pictures a whole decode makes";
  const size_t rows = LargestBlockDuring([&] {
    RowDecode result = DecodeRowsAtSize(jpeg.data(), jpeg.size(), 700, 700, nullptr, [](int, const uint8_t*) {});
    EXPECT_EQ(result, RowDecode::Done);
  });
  EXPECT_LT(rows, picture / 16);
}
#endif

}  // namespace
