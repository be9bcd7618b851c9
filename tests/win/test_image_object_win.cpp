#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bundle/image_object.h"
#include "tests/support/canvas_win32.h"

namespace {


const COLORREF kGrey = RGB(90, 90, 90);

// Every pixel different: red from x, green from y.
COLORREF Unique(int x, int y) { return RGB(x * 20 + 5, y * 30 + 7, 100); }

template <typename Colour>
void Paint(CImageData& image, int width, int height, Colour colour) {
  ASSERT_TRUE(image.Create(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      uint8_t* p = image.GetPixels() + y * image.GetStride() + x * 4;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      p[3] = 255;
    }
}

COLORREF PixelOf(const CImageData& image, int x, int y) {
  const uint8_t* p = image.GetPixels() + y * image.GetStride() + x * 4;
  return RGB(p[2], p[1], p[0]);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A bitmap's pixels as 32-bit top-down rows, read back through GDI.
std::vector<uint32_t> ReadBits(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> bits(static_cast<size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(rows, height);
  return bits;
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "zv_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

TEST(ImageObjectWin, DrawCopiesTheSourceRectangleCountedFromTheTop) {
  CImageData image;
  Paint(image, 8, 6, Unique);
  Canvas canvas(20, 20, kGrey);
  EXPECT_TRUE(image.Draw(canvas.dc(), 5, 7, 4, 3, 4, 2, 0, SRCCOPY));
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(canvas.At(5 + i, 7 + j), Unique(4 + i, 2 + j)) << i << "," << j;
  EXPECT_EQ(canvas.At(4, 7), kGrey);
  EXPECT_EQ(canvas.At(9, 7), kGrey);
  EXPECT_EQ(canvas.At(5, 6), kGrey);
  EXPECT_EQ(canvas.At(5, 10), kGrey);

  CImageData empty;
  EXPECT_FALSE(empty.Draw(canvas.dc(), 0, 0, 4, 4, 0, 0, 0, SRCCOPY));
  EXPECT_EQ(canvas.At(0, 0), kGrey);
}

TEST(ImageObjectWin, HalftoneStretchScalesTheSourceRectangleAndRestoresTheMode) {
  // Quadrants: red, green / blue, white.
  const COLORREF colours[4] = {RGB(220, 20, 20), RGB(20, 220, 20), RGB(20, 20, 220), RGB(240, 240, 240)};
  CImageData image;
  Paint(image, 8, 6, [&](int x, int y) { return colours[(y >= 3) * 2 + (x >= 4)]; });
  Canvas canvas(40, 40, kGrey);
  SetStretchBltMode(canvas.dc(), BLACKONWHITE);

  EXPECT_TRUE(image.Stretch(canvas.dc(), 4, 4, 32, 24, 0, 0, 8, 6, HALFTONE, SRCCOPY));
  EXPECT_EQ(GetStretchBltMode(canvas.dc()), BLACKONWHITE);
  // Centres of the enlarged quadrants, and the untouched border.
  EXPECT_TRUE(Near(canvas.At(12, 10), colours[0], 12));
  EXPECT_TRUE(Near(canvas.At(28, 10), colours[1], 12));
  EXPECT_TRUE(Near(canvas.At(12, 22), colours[2], 12));
  EXPECT_TRUE(Near(canvas.At(28, 22), colours[3], 12));
  EXPECT_EQ(canvas.At(3, 4), kGrey);
  EXPECT_EQ(canvas.At(36, 27), kGrey);
  EXPECT_EQ(canvas.At(4, 28), kGrey);

  // Only the green quadrant, shrunk to 2 x 2.
  Canvas small(4, 4, kGrey);
  EXPECT_TRUE(image.Stretch(small.dc(), 1, 1, 2, 2, 4, 0, 4, 3, HALFTONE, SRCCOPY));
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 2; ++x) EXPECT_TRUE(Near(small.At(x, y), colours[1], 12)) << x << "," << y;
  EXPECT_EQ(small.At(0, 0), kGrey);

  // Mode 0 leaves the context's own mode in force.
  SetStretchBltMode(canvas.dc(), COLORONCOLOR);
  EXPECT_TRUE(image.Stretch(canvas.dc(), 0, 0, 16, 12, 0, 0, 8, 6, 0, SRCCOPY));
  EXPECT_EQ(GetStretchBltMode(canvas.dc()), COLORONCOLOR);
  EXPECT_EQ(canvas.At(1, 1), colours[0]);
}

TEST(ImageObjectWin, BitmapIsTheImagesOwnDibAndFollowsResize) {
  CImageData image;
  EXPECT_EQ(image.GetBitmap(), nullptr);
  Paint(image, 8, 6, Unique);
  HBITMAP bitmap = image.GetBitmap();
  ASSERT_NE(bitmap, nullptr);
  BITMAP described = {};
  ASSERT_EQ(GetObjectA(bitmap, sizeof(described), &described), static_cast<int>(sizeof(described)));
  EXPECT_EQ(described.bmWidth, 8);
  EXPECT_EQ(described.bmHeight, 6);
  EXPECT_EQ(described.bmBitsPixel, 32);

  // As the skins use it: selected into a memory device context.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  ASSERT_NE(previous, nullptr);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(GetPixel(dc, x, y), Unique(x, y));
  SelectObject(dc, previous);
  DeleteDC(dc);

  ASSERT_TRUE(image.Resize(16, 12));
  bitmap = image.GetBitmap();
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(GetObjectA(bitmap, sizeof(described), &described), static_cast<int>(sizeof(described)));
  EXPECT_EQ(described.bmWidth, 16);
  EXPECT_EQ(described.bmHeight, 12);
  const std::vector<uint32_t> bits = ReadBits(bitmap, 16, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint32_t expected = PixelOf(image, x, y);
      const uint32_t got = bits[y * 16 + x];
      // GDI's 32-bit order is B, G, R, x; COLORREF is R, G, B.
      EXPECT_EQ(RGB((got >> 16) & 255, (got >> 8) & 255, got & 255), expected) << x << "," << y;
    }
}

TEST(ImageObjectWin, SavedBitmapReadsBackThroughTheSystem) {
  CImageObject object;
  CImageData& image = *object.GetObjectDataPtr();
  Paint(image, 5, 3, Unique);  // 15 bytes of colour per row, padded to 16
  const std::string path = TempPath("saved.bmp");
  { HANDLE old = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(old, "old", 3, &written, nullptr);
    CloseHandle(old); }
  const long codec = CImageObject::GetCodecIdFromExtension("bmp", 1);
  EXPECT_EQ(object.Save(path.c_str(), codec, nullptr), 0);
  EXPECT_EQ(GetFileAttributesA((path + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

  HBITMAP loaded = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(loaded, nullptr);
  BITMAP described = {};
  GetObjectA(loaded, sizeof(described), &described);
  EXPECT_EQ(described.bmWidth, 5);
  EXPECT_EQ(described.bmHeight, 3);
  EXPECT_EQ(described.bmBitsPixel, 24);
  const std::vector<uint32_t> bits = ReadBits(loaded, 5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint32_t got = bits[y * 5 + x];
      EXPECT_EQ(RGB((got >> 16) & 255, (got >> 8) & 255, got & 255), Unique(x, y)) << x << "," << y;
    }
  DeleteObject(loaded);

  CImageObject back;
  ASSERT_EQ(back.Load(path.c_str(), nullptr, 0, 0), 0);
  ASSERT_EQ(back.GetObjectDataPtr()->GetWidth(), 5);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(*back.GetObjectDataPtr(), x, y), Unique(x, y));
  DeleteFileA(path.c_str());
  EXPECT_EQ(back.Load(path.c_str(), nullptr, 0, 0), -1);
}

}  // namespace
