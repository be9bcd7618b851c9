// The settings dialog's skin as the build leaves it: the window-region record
// handed to the real ExtCreateRegion, and the skin bundle in the screen
// saver's tail decoded by our imaging layer. Both files come from the same
// build tree as this program (tests/win/ below it).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/image_object.h"

namespace {

std::string BuildDir() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::string dir(path, length);
  for (int up = 0; up < 3; ++up) {  // the file, then win, then tests
    const size_t separator = dir.find_last_of("\\/");
    if (separator == std::string::npos) return std::string();
    dir.erase(separator);
  }
  return dir;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Rect {
  int x, y, w, h;
};

// Every control of the settings dialog, and the seconds text of the delay
// slider: the window must not cut any of them.
const Rect kControls[] = {
    {513, 124, 83, 44}, {171, 404, 60, 33}, {27, 352, 71, 37}, {539, 218, 71, 37}, {104, 387, 60, 33},
    {17, 100, 150, 21}, {17, 128, 150, 21}, {17, 156, 150, 21}, {476, 387, 62, 32}, {408, 404, 62, 32},
    {359, 274, 160, 15}, {364, 294, 155, 15}, {426, 314, 93, 15}, {412, 334, 107, 15}, {391, 354, 128, 15},
    {394, 94, 111, 15}, {419, 127, 85, 15}, {418, 147, 86, 15}, {391, 185, 146, 15}, {14, 295, 102, 34},
    {601, 94, 18, 108}, {367, 245, 108, 18}, {614, 275, 15, 94}, {522, 275, 92, 94}, {477, 245, 42, 17},
};

class SkinRegionWin : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = ReadBytes(BuildDir() + "\\skin\\region.bin");
    ASSERT_GE(record_.size(), sizeof(RGNDATAHEADER)) << "no region record; build the zv_skin target";
    region_ = ExtCreateRegion(nullptr, static_cast<DWORD>(record_.size()),
                              reinterpret_cast<const RGNDATA*>(record_.data()));
    ASSERT_NE(nullptr, region_);
  }
  void TearDown() override {
    if (region_ != nullptr) DeleteObject(region_);
  }

  std::vector<uint8_t> record_;
  HRGN region_ = nullptr;
};

TEST_F(SkinRegionWin, WindowsTakesTheRecordAsTheDialogsShape) {
  const auto* header = reinterpret_cast<const RGNDATAHEADER*>(record_.data());
  EXPECT_EQ(sizeof(RGNDATAHEADER), header->dwSize);
  EXPECT_EQ(static_cast<DWORD>(RDH_RECTANGLES), header->iType);
  EXPECT_EQ(record_.size(), sizeof(RGNDATAHEADER) + header->nRgnSize);

  RECT box{};
  EXPECT_EQ(COMPLEXREGION, GetRgnBox(region_, &box));
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(0, box.top);
  EXPECT_EQ(640, box.right);
  EXPECT_EQ(458, box.bottom);
  // Rounded corners and the notch in the bottom edge are cut away.
  EXPECT_FALSE(PtInRegion(region_, 0, 0));
  EXPECT_FALSE(PtInRegion(region_, 639, 0));
  EXPECT_FALSE(PtInRegion(region_, 639, 457));
  EXPECT_FALSE(PtInRegion(region_, 312, 450));
  EXPECT_TRUE(PtInRegion(region_, 320, 200));
  EXPECT_TRUE(PtInRegion(region_, 5, 100));
}

TEST_F(SkinRegionWin, OurBandsAreTheOnesWindowsKeeps) {
  // A record already in GDI's banded form comes back rectangle for
  // rectangle.
  const DWORD size = GetRegionData(region_, 0, nullptr);
  ASSERT_GT(size, sizeof(RGNDATAHEADER));
  std::vector<uint8_t> kept(size);
  ASSERT_EQ(size, GetRegionData(region_, size, reinterpret_cast<RGNDATA*>(kept.data())));
  const auto* ours = reinterpret_cast<const RGNDATAHEADER*>(record_.data());
  const auto* theirs = reinterpret_cast<const RGNDATAHEADER*>(kept.data());
  ASSERT_EQ(ours->nCount, theirs->nCount);
  const std::vector<uint8_t> ourRects(record_.begin() + sizeof(RGNDATAHEADER), record_.end());
  const std::vector<uint8_t> theirRects(kept.begin() + sizeof(RGNDATAHEADER),
                                        kept.begin() + sizeof(RGNDATAHEADER) + ours->nCount * sizeof(RECT));
  EXPECT_EQ(ourRects, theirRects);
}

TEST_F(SkinRegionWin, NoControlIsCutByTheWindowShape) {
  HRGN outside = CreateRectRgn(0, 0, 0, 0);
  for (const Rect& control : kControls) {
    HRGN area = CreateRectRgn(control.x, control.y, control.x + control.w, control.y + control.h);
    EXPECT_EQ(NULLREGION, CombineRgn(outside, area, region_, RGN_DIFF))
        << control.x << "," << control.y << " " << control.w << "x" << control.h;
    DeleteObject(area);
  }
  DeleteObject(outside);
}

TEST(SkinBundleWin, EverySkinPictureDecodesAtTheSizeTheDialogsUse) {
  VFBUNDLE bundle;
  const std::string program = BuildDir() + "\\ZelvoraPelk.scr";
  ASSERT_TRUE(bundle.Open(program.c_str())) << program;
  const struct {
    const char* name;
    int width, height;
  } pictures[] = {
      {"menuskin.jpg", 640, 458},        {"toggle_mask_3.bmp", 20, 15},   {"VSliderBG_108_18_1.jpg", 18, 108},
      {"SliderBG_108_18_1.jpg", 108, 18}, {"slide_knob_7_18_1.jpg", 7, 18}, {"slide_knob_13_13_1.jpg", 13, 13},
      {"slide_knob_18_7_1.jpg", 18, 7},   {"filmstrip.jpg", 154, 28},
  };
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const uint8_t* data = bundle.LoadFileAnyCategory(picture.name);
    ASSERT_NE(nullptr, data);
    CImageObject image;
    ASSERT_EQ(0, image.Load(data, bundle.GetFileSizeAnyCategory(picture.name)));
    EXPECT_EQ(picture.width, image.GetObjectDataPtr()->GetWidth());
    EXPECT_EQ(picture.height, image.GetObjectDataPtr()->GetHeight());
  }

  // The check images are drawn through the mask with SRCINVERT, SRCAND,
  // SRCINVERT: only pure black and pure white pixels draw cleanly.
  CImageObject mask;
  ASSERT_EQ(0, mask.Load(bundle.LoadFileAnyCategory("toggle_mask_3.bmp"),
                         bundle.GetFileSizeAnyCategory("toggle_mask_3.bmp")));
  const CImageData& pixels = *mask.GetObjectDataPtr();
  int black = 0;
  for (int i = 0; i < pixels.GetWidth() * pixels.GetHeight(); ++i) {
    const uint8_t* p = pixels.GetPixels() + i * 4;
    ASSERT_TRUE((p[0] == 0 && p[1] == 0 && p[2] == 0) || (p[0] == 255 && p[1] == 255 && p[2] == 255)) << "pixel " << i;
    black += p[0] == 0;
  }
  // Black over the box, white in its rounded-off corners.
  EXPECT_EQ(255, pixels.GetPixels()[0]);
  EXPECT_EQ(0, pixels.GetPixels()[(7 * 20 + 10) * 4]);
  EXPECT_GT(black, 20 * 15 * 3 / 4);
}

}  // namespace
