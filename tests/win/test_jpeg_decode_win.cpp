// JPEGs through the win64 libjpeg-turbo build into the DIB section GDI draws
// from: progressive, CMYK and turned files, and libjpeg's failures, whose
// jump back out of the library must work with Windows' unwinding too.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "bundle/image_object.h"
#include "tests/support/canvas_win32.h"
#include "tests/support/jpeg_samples.h"

namespace {

using jpeg_samples::Bytes;
using jpeg_samples::Options;
using jpeg_samples::Stored;

const COLORREF kGrey = RGB(90, 90, 90);

bool Near(COLORREF got, const jpeg_samples::Rgb& expected, int tolerance) {
  return std::abs(GetRValue(got) - expected[0]) <= tolerance &&
         std::abs(GetGValue(got) - expected[1]) <= tolerance &&
         std::abs(GetBValue(got) - expected[2]) <= tolerance;
}

// Draws the picture at (2, 2) and checks the middle of each quadrant as GDI
// reads it back.
void ExpectQuadrantsDrawn(const CImageData& image, const jpeg_samples::Picture& expected,
                          const std::string& what) {
  const int width = expected.width;
  const int height = expected.height;
  ASSERT_EQ(image.GetWidth(), width) << what;
  ASSERT_EQ(image.GetHeight(), height) << what;
  Canvas canvas(width + 4, height + 4, kGrey);
  ASSERT_TRUE(image.Draw(canvas.dc(), 2, 2, width, height, 0, 0, 0, SRCCOPY)) << what;
  for (int qy : {height / 4, height * 3 / 4})
    for (int qx : {width / 4, width * 3 / 4})
      EXPECT_TRUE(Near(canvas.At(2 + qx, 2 + qy), expected.At(qx, qy), 10)) << what << " at " << qx << "," << qy;
  EXPECT_EQ(canvas.At(1, 1), kGrey);
}

TEST(JpegDecodeWin, ProgressiveAndCmykFilesDrawTheirColours) {
  struct Case {
    const char* name;
    Stored stored;
    bool progressive;
    bool subsampled;
  };
  for (const Case& c : {Case{"progressive 4:2:0", Stored::Colour, true, true},
                        Case{"Adobe CMYK", Stored::AdobeCmyk, false, false},
                        Case{"progressive Adobe YCCK", Stored::AdobeYcck, true, false},
                        Case{"CMYK without Adobe marker", Stored::PlainCmyk, true, false},
                        Case{"grey", Stored::Grey, true, false}}) {
    Options options;
    options.stored = c.stored;
    options.progressive = c.progressive;
    options.subsampled = c.subsampled;
    jpeg_samples::Picture picture = jpeg_samples::Quadrants(64, 48);
    if (c.stored == Stored::Grey) {  // grey already, so stored as it is
      for (jpeg_samples::Rgb& p : picture.pixels) p = {{p[1], p[1], p[1]}};
    }
    const Bytes jpeg = jpeg_samples::Encode(picture, options);
    CImageObject object;
    ASSERT_EQ(object.Load(jpeg.data(), jpeg.size()), 0) << c.name;
    ExpectQuadrantsDrawn(*object.GetObjectDataPtr(), picture, c.name);
  }
}

TEST(JpegDecodeWin, TurnedFilesComeUprightAtTheScaleAsked) {
  const jpeg_samples::Picture upright = jpeg_samples::Quadrants(128, 64);
  for (int orientation : {6, 7, 2}) {
    Options options;
    options.orientation = orientation;
    options.progressive = orientation == 7;
    const Bytes jpeg = jpeg_samples::Encode(jpeg_samples::StoredFor(upright, orientation), options);
    CImageData image;
    ASSERT_TRUE(image.Decode(jpeg.data(), jpeg.size())) << orientation;
    ExpectQuadrantsDrawn(image, upright, "full, orientation " + std::to_string(orientation));
    ASSERT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 60, 30)) << orientation;
    ExpectQuadrantsDrawn(image, jpeg_samples::Quadrants(64, 32), "half, orientation " + std::to_string(orientation));
  }
}

TEST(JpegDecodeWin, LibjpegFailuresReturnFalseAndLeaveNothing) {
  const jpeg_samples::Picture picture = jpeg_samples::Quadrants(256, 256);
  Options progressive;
  progressive.progressive = true;
  const Bytes jpeg = jpeg_samples::Encode(picture, progressive);
  CImageData image;

  // An error deep inside the library: the 384 KiB of coefficients of the
  // whole picture are more than it may take for a pixel limit of 128 KiB.
  EXPECT_FALSE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 32, 32, nullptr, 128 * 1024));
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_EQ(image.GetBitmap(), nullptr);

  // Damaged scan data: a warning that becomes a failure.
  const Bytes baseline = jpeg_samples::Encode(jpeg_samples::Gradient(256, 256));
  Bytes damaged = baseline;
  for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i) damaged[i] = 0xFE;
  EXPECT_TRUE(image.Decode(baseline.data(), baseline.size()));
  EXPECT_FALSE(image.Decode(damaged.data(), damaged.size()));
  EXPECT_TRUE(image.IsEmpty());

  // Cancelled before it starts.
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 32, 32, &cancel));
  EXPECT_TRUE(image.IsEmpty());

  // The library is left usable after each of them.
  cancel = false;
  ASSERT_TRUE(image.DecodeAtLeast(jpeg.data(), jpeg.size(), 32, 32, &cancel));
  ExpectQuadrantsDrawn(image, jpeg_samples::Quadrants(32, 32), "after the failures");
}

}  // namespace
