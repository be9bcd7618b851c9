#include <gtest/gtest.h>

#include "slideshow/image_loader.h"
#include "slideshow/slide_image.h"
#include "slideshow/slide_layout.h"
#include "tests/support/slide_fakes.h"

namespace {

TEST(SlideLayout, PowerOfTwoWithinLimitIsOneTileOfItsOwnSize) {
  const TileLayout layout = ComputeTileLayout(256, 256, 256, false, 1536);
  EXPECT_TRUE(layout.single);
  EXPECT_EQ(layout.columns, 1);
  EXPECT_EQ(layout.rows, 1);
  EXPECT_EQ(layout.textureWidth, 256);
  EXPECT_FALSE(layout.resize);
  const TileUpload upload = TileUploadAt(layout, 0);
  EXPECT_EQ(upload.fill, kTileFillWhole);
  EXPECT_EQ(upload.source.width, 256);
  EXPECT_EQ(upload.source.height, 256);
  // Within the loader's own limit a 1024 x 512 picture is still one tile.
  EXPECT_TRUE(ComputeTileLayout(1024, 512, 2048, false, 1536).single);
}

TEST(SlideLayout, LargerThanTheLimitSplitsOnTheTileGrid) {
  const TileLayout square = ComputeTileLayout(512, 512, 256, false, 1536);
  EXPECT_FALSE(square.single);
  EXPECT_EQ(square.columns, 2);
  EXPECT_EQ(square.rows, 2);
  EXPECT_FALSE(square.resize);
  EXPECT_EQ(square.textureWidth, 256);

  const TileLayout photo = ComputeTileLayout(3000, 2000, 256, false, 1536);
  EXPECT_EQ(photo.columns, 11);
  EXPECT_EQ(photo.rows, 7);
  EXPECT_TRUE(photo.resize);
  EXPECT_EQ(photo.pictureWidth, 2816);
  EXPECT_EQ(photo.pictureHeight, 1792);
  EXPECT_FALSE(photo.crammed);
  // Tile 12 is column 1 of row 1, the second row from the bottom.
  const TileUpload upload = TileUploadAt(photo, 12);
  EXPECT_EQ(upload.fill, kTileFillPart);
  EXPECT_EQ(upload.column, 1);
  EXPECT_EQ(upload.row, 1);
  EXPECT_EQ(upload.source.x, 256);
  EXPECT_EQ(upload.source.y, 5 * 256);
  EXPECT_EQ(upload.textureWidth, 256);
  EXPECT_EQ(upload.textureHeight, 256);
}

TEST(SlideLayout, CrammingLimitsTheTexelsButStretchesTheWholePicture) {
  const TileLayout layout = ComputeTileLayout(3000, 2000, 256, true, 1536);
  EXPECT_TRUE(layout.crammed);
  EXPECT_EQ(layout.columns, 6);
  EXPECT_EQ(layout.rows, 6);
  EXPECT_FALSE(layout.resize);
  EXPECT_EQ(layout.textureWidth, 256);
  EXPECT_EQ(layout.textureHeight, 256);
  EXPECT_EQ(layout.sourceWidth, 500);
  EXPECT_EQ(layout.sourceHeight, 333);
  const TileUpload bottomRight = TileUploadAt(layout, 5);
  EXPECT_EQ(bottomRight.fill, kTileFillStretch);
  EXPECT_EQ(bottomRight.source.x, 2500);
  EXPECT_EQ(bottomRight.source.y, 5 * 333);

  // Only the side over the limit is limited.
  const TileLayout wide = ComputeTileLayout(3000, 1024, 256, true, 1536);
  EXPECT_EQ(wide.crammedWidth, 1536);
  EXPECT_EQ(wide.crammedHeight, 1024);
  EXPECT_EQ(wide.rows, 4);
  // A picture within the limit is not crammed at all.
  EXPECT_FALSE(ComputeTileLayout(1200, 800, 256, true, 1536).crammed);
}

TEST(SlideLayout, UnusableCramSizeStandsForTheDefault) {
  EXPECT_EQ(EffectiveCramSize(0), 1024);
  EXPECT_EQ(EffectiveCramSize(-5), 1024);
  EXPECT_EQ(EffectiveCramSize(512), 512);
  const TileLayout layout = ComputeTileLayout(3000, 2000, 256, true, 0);
  EXPECT_EQ(layout.columns, 4);
  EXPECT_EQ(layout.rows, 4);
  EXPECT_EQ(layout.textureWidth, 256);
}

TEST(SlideLayout, SideSmallerThanATileGetsOneTile) {
  const TileLayout layout = ComputeTileLayout(100, 300, 256, false, 1536);
  EXPECT_EQ(layout.columns, 1);
  EXPECT_EQ(layout.rows, 1);
  EXPECT_TRUE(layout.resize);
  EXPECT_EQ(layout.pictureWidth, 256);
  EXPECT_EQ(layout.pictureHeight, 256);
  EXPECT_EQ(ComputeTileLayout(3, 3, 256, false, 1536).columns, 1);
}

TEST(SlideLayout, TileSideTakesTheSmallestRemainder) {
  EXPECT_EQ(PickTileSide(3000, 2048), 256);  // remainders 952, 952, 440, 184
  EXPECT_EQ(PickTileSide(4096, 2048), 2048);  // all exact: the first wins
  EXPECT_EQ(PickTileSide(3072, 2048), 1024);
  EXPECT_EQ(PickTileSide(3000, 128), 128);    // small limits are used as they are
  EXPECT_TRUE(IsPowerOfTwoSide(2));
  EXPECT_FALSE(IsPowerOfTwoSide(1));
  EXPECT_FALSE(IsPowerOfTwoSide(768));
}

float MeshWidth(const CSlideImage& slide) {
  return slide.gridPositions[slide.GridIndex(slide.columns, 0)].x - slide.gridPositions[0].x;
}

TEST(SlideImage, MeshCornersOfALandscapeSlide) {
  CSlideImage slide;
  slide.SetDims(2000, 1000, 0, 0);
  EXPECT_FLOAT_EQ(slide.widthFactor, 1.0f);
  EXPECT_FLOAT_EQ(slide.heightFactor, 0.5f);
  slide.AllocateTiles(2, 1, 256, 256);
  slide.BuildMesh();
  EXPECT_EQ(slide.vertexCount, 6);
  // Size 1 is the height; the width follows the proportions: x -1..1, y -0.5..0.5.
  const SlideTile& left = slide.TileAt(0, 0);
  EXPECT_FLOAT_EQ(left.vertices[kUpperLeft].x, -1.0f);
  EXPECT_FLOAT_EQ(left.vertices[kUpperLeft].y, 0.5f);
  EXPECT_FLOAT_EQ(left.vertices[kLowerLeft].y, -0.5f);
  EXPECT_FLOAT_EQ(left.vertices[kLowerRight].x, 0.0f);
  EXPECT_FLOAT_EQ(left.vertices[kUpperRight].v, 0.0f);
  EXPECT_FLOAT_EQ(left.vertices[kLowerRight].u, 1.0f);
  EXPECT_FLOAT_EQ(left.vertices[kLowerRight].v, 1.0f);
  EXPECT_FLOAT_EQ(slide.TileAt(1, 0).vertices[kUpperRight].x, 1.0f);
  EXPECT_EQ(left.indices[3], 0);
  EXPECT_EQ(left.indices[5], 3);

  CSlideImage portrait;
  portrait.SetDims(500, 1000, 0, 0);
  portrait.size = 2.0f;
  portrait.AllocateTiles(1, 2, 256, 256);
  portrait.BuildMesh();
  EXPECT_FLOAT_EQ(MeshWidth(portrait), 2.0f);
  EXPECT_FLOAT_EQ(portrait.TileAt(0, 1).vertices[kUpperLeft].y, 2.0f);
  EXPECT_FLOAT_EQ(portrait.TileAt(0, 0).vertices[kUpperLeft].y, 0.0f);
}

TEST(SlideImage, ZoomScalesAboutTheCentreInTheSlidesDirection) {
  CSlideImage slide;
  slide.SetDims(1000, 1000, 0, 0);
  slide.AllocateTiles(2, 2, 256, 256);
  slide.size = 2.0f;
  slide.centre.x = 0.5f;
  for (int i = 0; i < 10; ++i) slide.Zoom(0.01f);  // builds the mesh on first use
  EXPECT_NEAR(MeshWidth(slide), 2.0f * 1.1f, 1e-5);
  // The centre stays put: the left edge moves 1.5 x 0.1 outwards.
  EXPECT_NEAR(slide.TileAt(0, 0).vertices[kLowerLeft].x, -1.0f - 0.15f, 1e-5);

  slide.zoomDirection = -1.0f;
  for (int i = 0; i < 10; ++i) slide.Zoom(0.01f);
  EXPECT_NEAR(MeshWidth(slide), 2.0f, 1e-5);
}

TEST(SlideImage, DestroyingReleasesOwnedTexturesOnly) {
  const int before = LiveFakeTextures();
  {
    CSlideImage slide;
    slide.AllocateTiles(1, 1, 1, 1);
    slide.tiles[0].texture = new FakeTexture;
  }
  EXPECT_EQ(LiveFakeTextures(), before);
  FakeTexture kept;
  {
    CSlideImage slide;
    slide.AllocateTiles(1, 1, 1, 1);
    slide.ownsTextures = 0;
    slide.tiles[0].texture = &kept;
  }
  EXPECT_EQ(LiveFakeTextures(), before + 1);
}

// The loader ------------------------------------------------------------------

std::unique_ptr<CImgLoadThread> MakeLoader(FakeImaging& imaging, const FakePhoto& photo,
                                           bool cram = false) {
  auto loader = std::make_unique<CImgLoadThread>(&imaging);
  ImageDims dims;
  dims.width = 3000;
  dims.height = 2000;
  dims.horizontalOnly = 1;
  loader->SetSource(std::make_unique<FakePhotoSource>(photo), dims);
  loader->SetTileLimit(256);
  loader->SetTextureBits(16);
  loader->SetMipMap(0);
  loader->SetCram(cram ? 1 : 0);
  loader->SetCramSize(1536);
  return loader;
}

TEST(ImageLoader, LoadsResizesAndUploadsOneTilePerStep) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  auto loader = MakeLoader(imaging, photo);
  loader->Start(1234);
  ASSERT_TRUE(WaitForLoader(loader.get()));
  EXPECT_EQ(loader->GetState(), kLoaderReady);
  EXPECT_EQ(loader->GetError(), kLoaderNoError);
  EXPECT_EQ(loader->StartTime(), 1234);

  EXPECT_FALSE(loader->UploadStep());
  EXPECT_EQ(loader->GetState(), kLoaderUploading);
  ASSERT_EQ(imaging.uploads.size(), 1u);
  // The picture was resized to the tile grid before upload.
  EXPECT_EQ(imaging.uploads[0].pictureWidth, 2816);
  EXPECT_EQ(imaging.uploads[0].pictureHeight, 1792);
  EXPECT_EQ(imaging.uploads[0].bits, 16);
  EXPECT_EQ(imaging.uploads[0].mipLevels, 1);

  CSlideImage* slide = loader->Finish();
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(loader->GetState(), kLoaderComplete);
  EXPECT_EQ(imaging.uploads.size(), 77u);
  EXPECT_TRUE(slide->IsComplete());
  EXPECT_EQ(slide->columns, 11);
  // Proportions and flags come from the dims record.
  EXPECT_FLOAT_EQ(slide->heightFactor, 2000.0f / 3000.0f);
  EXPECT_EQ(slide->horizontalOnly, 1);
  for (const SlideTile& tile : slide->tiles) EXPECT_NE(tile.texture, nullptr);
  delete slide;
}

TEST(ImageLoader, CrammedTilesKeepTheirSourceSize) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  auto loader = MakeLoader(imaging, photo, true);
  loader->Start(0);
  ASSERT_TRUE(WaitForLoader(loader.get()));
  std::unique_ptr<CSlideImage> slide(loader->Finish());
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(slide->tiles.size(), 36u);
  EXPECT_EQ(slide->tiles[0].sourceWidth, 500);
  EXPECT_EQ(slide->tiles[0].sourceHeight, 333);
  EXPECT_EQ(imaging.uploads.back().upload.fill, kTileFillStretch);
}

TEST(ImageLoader, FailuresEndWithAnErrorAndNoSlide) {
  struct Case {
    FakePhoto photo;
    int32_t error;
  };
  std::vector<Case> cases(3);
  cases[0].photo.locate = kLoaderFileNotFound;
  cases[0].error = kLoaderFileNotFound;
  cases[1].photo.readable = false;
  cases[1].error = kLoaderUnreadable;
  cases[2].photo.decodable = false;
  cases[2].error = kLoaderUndecodable;
  for (const Case& c : cases) {
    FakeImaging imaging;
    auto loader = MakeLoader(imaging, c.photo);
    loader->Start(0);
    ASSERT_TRUE(WaitForLoader(loader.get()));
    EXPECT_EQ(loader->GetError(), c.error) << LoaderErrorName(c.error);
    EXPECT_LT(loader->GetState(), kLoaderReady);
    EXPECT_FALSE(loader->UploadStep());
    EXPECT_EQ(loader->Finish(), nullptr);
    EXPECT_TRUE(imaging.uploads.empty());
  }

  FakeImaging imaging;
  CImgLoadThread unsourced(&imaging);
  unsourced.Start(0);
  ASSERT_TRUE(WaitForLoader(&unsourced));
  EXPECT_EQ(unsourced.GetError(), kLoaderNoCategory);
}

TEST(ImageLoader, SlideNeverHandedOverGoesWithTheLoader) {
  const int before = LiveFakeTextures();
  {
    FakeImaging imaging;
    FakePhoto photo;
    auto loader = MakeLoader(imaging, photo);
    loader->Start(0);
    ASSERT_TRUE(WaitForLoader(loader.get()));
    loader->UploadStep();
    EXPECT_EQ(LiveFakeTextures(), before + 1);
  }
  EXPECT_EQ(LiveFakeTextures(), before);
}

}  // namespace
