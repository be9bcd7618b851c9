#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bundle/bundle_writer.h"
#include "bundle/image_data.h"
#include "tests/support/slide_fakes.h"
#include "slideshow/bundle_slideshow_host.h"

namespace {

std::vector<uint8_t> Bitmap(int width, int height) {
  CImageData picture;
  EXPECT_TRUE(picture.Create(width, height));
  return picture.EncodeWindowsBitmap();
}

std::vector<uint8_t> DimsRecord(const std::string& name, int width, int height, uint8_t horizontal) {
  ImageDims dims;
  dims.name = name;
  dims.width = width;
  dims.height = height;
  dims.horizontalOnly = horizontal;
  std::vector<uint8_t> out;
  EXPECT_TRUE(SerializeImageDims(dims, true, out));
  return out;
}

// Real pictures, recorded uploads.
class RealPictures : public FakeImaging {
 public:
  std::unique_ptr<SlidePicture> NewPicture() override { return std::make_unique<ImagePicture>(); }
};

class BundleHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zv_host_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    path = name;
  }
  void TearDown() override { std::remove(path.c_str()); }

  // Two photographs, a good 600 x 300 bitmap and bytes no decoder takes;
  // only the good one has a dims record.
  void WriteBundle(bool withCaps, const std::string& brokenCaption = "") {
    BundleWriter writer;
    writer.AddCategory("image");
    writer.AddFile("wide.bmp", Bitmap(600, 300));
    writer.AddFile("broken.jpg", std::vector<uint8_t>(64, 0xAB));
    writer.AddCategory("dims");
    writer.AddFile("wide.bmp.dim", DimsRecord("wide.bmp", 600, 300, 1));
    if (withCaps) writer.AddCategory("caps");
    if (!brokenCaption.empty()) {
      ImageCaption caption;
      caption.name = "broken.jpg";
      caption.text = brokenCaption;
      std::vector<uint8_t> record;
      ASSERT_TRUE(SerializeImageCaption(caption, record));
      writer.AddFile("broken.jpg.cap", record);
    }
    ASSERT_TRUE(writer.WriteTo(path));
  }

  std::string path;
  RealPictures textures;
};

TEST_F(BundleHostTest, LoadsRealPhotographsThroughTheBundle) {
  WriteBundle(true);
  BundleSlideshowHost host(&textures);
  ASSERT_TRUE(host.OpenBundle(path.c_str()));
  ASSERT_EQ(host.PhotoCount(), 2);
  // A photograph without its own record takes entry 0.
  EXPECT_EQ(host.DimsOf(1).name, "wide.bmp");
  EXPECT_EQ(host.DimsOf(1).horizontalOnly, 1);
  EXPECT_EQ(host.FindCaption(host.PhotoFile(0)), nullptr);

  CImgLoadThread good(&textures);
  good.SetSource(host.PhotoSourceOf(0), host.DimsOf(0));
  good.SetTileLimit(256);
  good.Start(0);
  CSlideImage* slide = good.Finish();
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(good.GetError(), kLoaderNoError);
  // 600 x 300 on 256-texel tiles: 3 x 2, the last column and the top row
  // partly filled; proportions from the record.
  EXPECT_EQ(slide->columns, 3);
  EXPECT_EQ(slide->rows, 2);
  EXPECT_FLOAT_EQ(slide->heightFactor, 0.5f);
  ASSERT_EQ(textures.uploads.size(), 6u);
  EXPECT_EQ(textures.uploads[0].width, 256);
  EXPECT_EQ(textures.uploads[0].height, 256);
  EXPECT_FLOAT_EQ(slide->TileAt(2, 0).vertices[kUpperRight].u, 88.0f / 256.0f);
  // The bytes stay cached in the entry for the next showing.
  EXPECT_NE(host.PhotoFile(0)->Data(), nullptr);
  delete slide;

  CImgLoadThread broken(&textures);
  broken.SetSource(host.PhotoSourceOf(1), host.DimsOf(1));
  broken.Start(0);
  EXPECT_EQ(broken.Finish(), nullptr);
  EXPECT_EQ(broken.GetError(), kLoaderUndecodable);

  // Out of range: no entry, no category lookups past the list.
  CImgLoadThread missing(&textures);
  missing.SetSource(host.PhotoSourceOf(7), ImageDims());
  missing.Start(0);
  EXPECT_EQ(missing.Finish(), nullptr);
  EXPECT_EQ(missing.GetError(), kLoaderFileNotFound);
}

class RecordedCaptions : public CaptionTarget {
 public:
  void Open(int32_t limit, int32_t bits) override { opened = {limit, bits}; }
  void Render(int32_t slot, const char* text) override {
    rendered.push_back({slot, text != nullptr ? text : "(none)"});
  }
  void Step(int32_t slot) override { steps.push_back(slot); }
  std::pair<int32_t, int32_t> opened{0, 0};
  std::vector<std::pair<int32_t, std::string>> rendered;
  std::vector<int32_t> steps;
};

// Every photograph's caption reaches the slots, by the lookup rule.
TEST_F(BundleHostTest, CaptionsGoToTheSlotsByTheLookupRule) {
  WriteBundle(true, "Two lines\nof caption");
  RecordedCaptions slots;
  BundleSlideshowHost host(&textures, &slots);
  ASSERT_TRUE(host.OpenBundle(path.c_str()));
  host.OpenCaptions(128, 16);
  host.RenderCaption(1, 1);
  host.RenderCaption(0, 0);  // no record of its own: entry 0's
  host.CaptionStep(1);
  EXPECT_EQ(slots.opened, (std::pair<int32_t, int32_t>{128, 16}));
  const std::vector<std::pair<int32_t, std::string>> expected = {{1, "Two lines\nof caption"},
                                                                  {0, "Two lines\nof caption"}};
  EXPECT_EQ(slots.rendered, expected);
  EXPECT_EQ(slots.steps, std::vector<int32_t>{1});

  // An empty "caps" category hands on no text at all.
  WriteBundle(true);
  BundleSlideshowHost bare(&textures, &slots);
  ASSERT_TRUE(bare.OpenBundle(path.c_str()));
  bare.RenderCaption(0, 0);
  EXPECT_EQ(slots.rendered.back().second, "(none)");
}

TEST_F(BundleHostTest, ABundleWithoutOneOfTheThreeCategoriesIsNotOpened) {
  WriteBundle(false);
  BundleSlideshowHost host(&textures);
  EXPECT_FALSE(host.OpenBundle(path.c_str()));
  EXPECT_EQ(host.PhotoCount(), 0);
  Slideshow show(&host);
  EXPECT_FALSE(show.Open(path.c_str()));
  EXPECT_FALSE(show.Update(20));
  EXPECT_TRUE(show.NoUsablePhotograph());
}

}  // namespace
