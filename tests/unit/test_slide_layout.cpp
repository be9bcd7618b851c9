#include <gtest/gtest.h>

#include "slideshow/fast_picture_loader.h"
#include "slideshow/image_loader.h"
#include "slideshow/slide_image.h"
#include "slideshow/slide_layout.h"
#include "slideshow/tile_pixels.h"
#include "tests/support/slide_fakes.h"

namespace {

SlideScreen Screen(int32_t width, int32_t height, bool cover = true, float zoom = 1.0f) {
  SlideScreen screen;
  screen.width = width;
  screen.height = height;
  screen.cover = cover;
  screen.largestZoom = zoom;
  return screen;
}

void ExpectSize(const FittedSize& size, int32_t width, int32_t height) {
  EXPECT_EQ(size.width, width);
  EXPECT_EQ(size.height, height);
}

TEST(SlideLayout, CrammingLimitsEachSideToTheCramSize) {
  const SlideScreen screen = Screen(1920, 1080);
  ExpectSize(NeededPictureSize(8000, 6000, screen, true, 1024), 1024, 1024);
  ExpectSize(NeededPictureSize(3000, 1000, screen, true, 1536), 1536, 1000);
  ExpectSize(NeededPictureSize(800, 600, screen, true, 1024), 800, 600);
  // An unusable cram size stands for the default.
  ExpectSize(NeededPictureSize(8000, 6000, screen, true, 0), 1024, 1024);
  EXPECT_EQ(EffectiveCramSize(-5), 1024);
  EXPECT_EQ(EffectiveCramSize(512), 512);
}

TEST(SlideLayout, HighestDetailIsWhatTheScreenShowsAtTheLargestZoom) {
  // Covering 1024 x 768 with a 4:3 photograph: the screen's own size, times
  // the zoom, rounded up.
  ExpectSize(NeededPictureSize(8000, 6000, Screen(1024, 768), false, 1024), 1024, 768);
  ExpectSize(NeededPictureSize(8000, 6000, Screen(1024, 768, true, 1.24f), false, 1024), 1270, 953);
  // 16:9 screen, 4:3 photograph: covering takes the width, fitting the height.
  ExpectSize(NeededPictureSize(8000, 6000, Screen(1920, 1080), false, 1024), 1920, 1440);
  ExpectSize(NeededPictureSize(8000, 6000, Screen(1920, 1080, false), false, 1024), 1440, 1080);
  // A panorama covers by its height, a portrait by its width.
  ExpectSize(NeededPictureSize(3000, 1000, Screen(1024, 768), false, 1024), 2304, 768);
  ExpectSize(NeededPictureSize(4000, 6000, Screen(1920, 1080), false, 1024), 1920, 2880);
  // Never more than the photograph has, nor when the screen is unknown.
  ExpectSize(NeededPictureSize(800, 600, Screen(1920, 1080, true, 1.24f), false, 1024), 800, 600);
  ExpectSize(NeededPictureSize(3000, 1000, Screen(1024, 768), false, 1024), 2304, 768);
  ExpectSize(NeededPictureSize(12000, 8000, Screen(0, 0), false, 1024), 12000, 8000);
}

TEST(SlideLayout, MipLevelsOnlyWhereTheSlideIsShownSmallerThanItsPicture) {
  // Highest detail: the picture is the covering size times the largest zoom
  // (1.36 at the shortest delay), so level 0 alone is drawn.
  const SlideScreen full = Screen(1920, 1080, true, 1.36f);
  FittedSize need = NeededPictureSize(12000, 8000, full, false, 1024);
  EXPECT_EQ(SlideMipLevels(need.width, need.height, 12000, 8000, full, 4), 1);
  // Crammed to 1024 x 1024 and shown at 1920 x 1280: enlarged.
  EXPECT_EQ(SlideMipLevels(1024, 1024, 12000, 8000, full, 4), 1);
  // A preview window of 152 x 112 shows the same crammed picture 9 times
  // smaller down: every level asked for.
  const SlideScreen preview = Screen(152, 112, true, 1.36f);
  EXPECT_EQ(SlideMipLevels(1024, 1024, 12000, 8000, preview, 4), 4);
  EXPECT_EQ(SlideMipLevels(1024, 1024, 12000, 8000, preview, 2), 2);
  // 1024 pixels on a 640-wide still (fitted) slide: 1.6 times, one level more;
  // on 800, 1.28 times, none.
  EXPECT_EQ(SlideMipLevels(1024, 683, 3000, 2000, Screen(640, 480, false), 4), 2);
  EXPECT_EQ(SlideMipLevels(1024, 683, 3000, 2000, Screen(800, 600, false), 4), 1);
  // The denser side counts: a panorama crammed to 1536 x 1536 covers
  // 1024 x 768 at 2304 x 768, 0.67 times across but 2 times down.
  EXPECT_EQ(SlideMipLevels(1536, 1536, 3000, 1000, Screen(1024, 768), 4), 2);
  // Without mip-mapping, or on an unknown screen, the request stands.
  EXPECT_EQ(SlideMipLevels(1024, 1024, 12000, 8000, preview, 1), 1);
  EXPECT_EQ(SlideMipLevels(1024, 1024, 12000, 8000, Screen(0, 0), 4), 4);
}

TEST(SlideLayout, TilesArePowersOfTwoWithTheEdgesCutToThePicture) {
  const TileLayout layout = ComputeTileLayout(600, 300, 256);
  EXPECT_EQ(layout.tileWidth, 256);
  EXPECT_EQ(layout.tileHeight, 256);
  EXPECT_EQ(layout.columns, 3);
  EXPECT_EQ(layout.rows, 2);
  // Tile 2 is the bottom-right one: the picture's last 88 columns and its
  // last 44 rows (rows are cut from the top).
  const TileUpload corner = TileUploadAt(layout, 2);
  EXPECT_EQ(corner.column, 2);
  EXPECT_EQ(corner.row, 0);
  EXPECT_EQ(corner.source.x, 512);
  EXPECT_EQ(corner.source.y, 256);
  EXPECT_EQ(corner.source.width, 88);
  EXPECT_EQ(corner.source.height, 44);
  EXPECT_EQ(corner.textureWidth, 256);
  EXPECT_FLOAT_EQ(corner.uMax, 88.0f / 256.0f);
  EXPECT_FLOAT_EQ(corner.vMax, 44.0f / 256.0f);
  const TileUpload topLeft = TileUploadAt(layout, 3);
  EXPECT_EQ(topLeft.source.y, 0);
  EXPECT_EQ(topLeft.source.height, 256);
  EXPECT_FLOAT_EQ(topLeft.vMax, 1.0f);
  // Grid lines: across at 256 and 512 of 600, up at 44 of 300.
  EXPECT_FLOAT_EQ(ColumnEdge(layout, 1), 256.0f / 600.0f);
  EXPECT_FLOAT_EQ(ColumnEdge(layout, 3), 1.0f);
  EXPECT_FLOAT_EQ(RowEdge(layout, 1), 44.0f / 300.0f);
  EXPECT_FLOAT_EQ(RowEdge(layout, 2), 1.0f);
}

TEST(SlideLayout, SmallPicturesGetTheSmallestPowerOfTwoThatHoldsThem) {
  const TileLayout small = ComputeTileLayout(100, 300, 256);
  EXPECT_EQ(small.tileWidth, 128);
  EXPECT_EQ(small.tileHeight, 256);
  EXPECT_EQ(small.columns, 1);
  EXPECT_EQ(small.rows, 2);
  const TileLayout square = ComputeTileLayout(1024, 1024, 256);
  EXPECT_EQ(square.columns, 4);
  EXPECT_FLOAT_EQ(TileUploadAt(square, 15).uMax, 1.0f);
  // A device limit that is not a power of two is rounded down to one.
  EXPECT_EQ(ComputeTileLayout(3000, 2000, 200).tileWidth, 128);
  EXPECT_EQ(ComputeTileLayout(1, 1, 256).tileWidth, 1);
  EXPECT_EQ(FloorPowerOfTwo(1000), 512);
  EXPECT_EQ(CeilPowerOfTwo(1000), 1024);
}

TEST(TilePixels, EdgeTilesRepeatTheLastColumnAndRowAndMipLevelsAverage) {
  // A 3 x 3 picture whose pixel (x, y) has blue x, green y.
  std::vector<uint8_t> picture(3 * 3 * 4);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = &picture[(y * 3 + x) * 4];
      p[0] = static_cast<uint8_t>(x * 10);
      p[1] = static_cast<uint8_t>(y * 10);
      p[2] = 0;
      p[3] = 255;
    }
  }
  const TileLayout layout = ComputeTileLayout(3, 3, 2);  // 2 x 2 tiles
  std::vector<TilePixels> tiles;
  TileCutter cutter(layout, 4, tiles);
  ASSERT_EQ(tiles.size(), 4u);
  // Without rows only the size is known.
  EXPECT_TRUE(tiles[0].levels.empty());
  EXPECT_EQ(tiles[0].height, 2);
  // The top band's rows fill the top tiles (grid row 1) and their mip levels;
  // the bottom band waits for its rows.
  cutter.Row(0, &picture[0]);
  cutter.Row(1, &picture[3 * 4]);
  const TilePixels& topLeft = tiles[2];
  ASSERT_EQ(topLeft.levels.size(), 2u);
  EXPECT_EQ(topLeft.levels[0][(1 * 2 + 1) * 4 + 0], 10);
  EXPECT_EQ(topLeft.levels[1][0], 5);
  EXPECT_EQ(topLeft.levels[1][1], 5);
  EXPECT_TRUE(tiles[0].levels.empty());
  // The bottom-right tile holds pixel (2, 2) alone and repeats it.
  cutter.Row(2, &picture[2 * 3 * 4]);
  const TilePixels& bottomRight = tiles[1];
  ASSERT_EQ(bottomRight.width, 2);
  ASSERT_EQ(bottomRight.levels.size(), 2u);
  for (int texel = 0; texel < 4; ++texel) {
    EXPECT_EQ(bottomRight.levels[0][texel * 4 + 0], 20);
    EXPECT_EQ(bottomRight.levels[0][texel * 4 + 1], 20);
  }
  // A picture held whole cuts the same.
  std::vector<TilePixels> whole;
  ASSERT_TRUE(TileCutter(layout, 4, whole).CutPicture(picture.data()));
  for (size_t i = 0; i < tiles.size(); ++i) EXPECT_EQ(whole[i].levels, tiles[i].levels) << i;
}

float MeshWidth(const CSlideImage& slide) {
  return slide.gridPositions[slide.GridIndex(slide.columns, 0)].x - slide.gridPositions[0].x;
}

TEST(SlideImage, MeshCornersOfALandscapeSlide) {
  CSlideImage slide;
  slide.SetDims(2000, 1000, 0, 0);
  EXPECT_FLOAT_EQ(slide.widthFactor, 1.0f);
  EXPECT_FLOAT_EQ(slide.heightFactor, 0.5f);
  slide.AllocateTiles(2, 1);
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
  portrait.AllocateTiles(1, 2);
  portrait.BuildMesh();
  EXPECT_FLOAT_EQ(MeshWidth(portrait), 2.0f);
  EXPECT_FLOAT_EQ(portrait.TileAt(0, 1).vertices[kUpperLeft].y, 2.0f);
  EXPECT_FLOAT_EQ(portrait.TileAt(0, 0).vertices[kUpperLeft].y, 0.0f);
}

TEST(SlideImage, ZoomScalesAboutTheCentreInTheSlidesDirection) {
  CSlideImage slide;
  slide.SetDims(1000, 1000, 0, 0);
  slide.AllocateTiles(2, 2);
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
    slide.AllocateTiles(1, 1);
    slide.tiles[0].texture = new FakeTexture;
  }
  EXPECT_EQ(LiveFakeTextures(), before);
  FakeTexture kept;
  {
    CSlideImage slide;
    slide.AllocateTiles(1, 1);
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

TEST(ImageLoader, DecodesForTheScreenAndUploadsOneTilePerStep) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  auto loader = MakeLoader(imaging, photo);
  loader->SetScreen(Screen(1024, 768));
  loader->Start(1234);
  ASSERT_TRUE(WaitForLoader(loader.get()));
  EXPECT_EQ(loader->GetState(), kLoaderReady);
  EXPECT_EQ(loader->GetError(), kLoaderNoError);
  EXPECT_EQ(loader->StartTime(), 1234);
  // Covering 1024 x 768 needs 1152 x 768 of the 3000 x 2000 photograph.
  EXPECT_EQ(loader->Layout().pictureWidth, 1152);
  EXPECT_EQ(loader->Layout().pictureHeight, 768);
  EXPECT_EQ(loader->Layout().columns, 5);
  EXPECT_EQ(loader->Layout().rows, 3);

  EXPECT_FALSE(loader->UploadStep());
  EXPECT_EQ(loader->GetState(), kLoaderUploading);
  EXPECT_FALSE(loader->IsComplete());
  ASSERT_EQ(imaging.uploads.size(), 1u);
  EXPECT_EQ(imaging.uploads[0].width, 256);
  EXPECT_EQ(imaging.uploads[0].bits, 16);
  EXPECT_EQ(imaging.uploads[0].mipLevels, 1);

  CSlideImage* slide = loader->Finish();
  ASSERT_NE(slide, nullptr);
  EXPECT_TRUE(loader->IsComplete());
  EXPECT_EQ(imaging.uploads.size(), 15u);
  EXPECT_TRUE(slide->IsComplete());
  // Proportions and flags come from the dims record.
  EXPECT_FLOAT_EQ(slide->heightFactor, 2000.0f / 3000.0f);
  EXPECT_EQ(slide->horizontalOnly, 1);
  for (const SlideTile& tile : slide->tiles) EXPECT_NE(tile.texture, nullptr);
  delete slide;
}

TEST(ImageLoader, TilesGetTheMipLevelsTheirScreenDraws) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  for (const auto& [screen, levels] : {std::make_pair(Screen(1920, 1080), 1), std::make_pair(Screen(200, 150), 4)}) {
    imaging.uploads.clear();
    auto loader = MakeLoader(imaging, photo, true);
    loader->SetMipMap(1);
    loader->SetScreen(screen);
    loader->Start(0);
    ASSERT_TRUE(WaitForLoader(loader.get()));
    std::unique_ptr<CSlideImage> slide(loader->Finish());
    ASSERT_FALSE(imaging.uploads.empty());
    for (const auto& upload : imaging.uploads) EXPECT_EQ(upload.mipLevels, levels) << screen.width;
  }
}

TEST(ImageLoader, CrammedPicturesAreMadeAtTheCramSize) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  auto loader = MakeLoader(imaging, photo, true);
  loader->SetScreen(Screen(1024, 768));
  loader->Start(0);
  ASSERT_TRUE(WaitForLoader(loader.get()));
  EXPECT_EQ(loader->Layout().pictureWidth, 1536);
  EXPECT_EQ(loader->Layout().pictureHeight, 1536);
  std::unique_ptr<CSlideImage> slide(loader->Finish());
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(slide->tiles.size(), 36u);
}

TEST(ImageLoader, ALoaderStoppedWhileItDecodesEndsAtOnce) {
  FakeImaging imaging;
  imaging.nextGate = std::make_shared<std::atomic<bool>>(false);  // never opens
  FakePhoto photo;
  auto loader = MakeLoader(imaging, photo);
  loader->Start(0);
  for (int i = 0; i < 5000 && loader->GetState() != kLoaderDecoding; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(loader->GetState(), kLoaderDecoding);
  // A loader that ignored the cancel would wait on its gate for ever here.
  loader.reset();
  SUCCEED();
}

TEST(ImageLoader, FailuresEndWithAnErrorAndNoSlide) {
  struct Case {
    FakePhoto photo;
    int32_t error;
  };
  std::vector<Case> cases(4);
  cases[0].photo.locate = kLoaderFileNotFound;
  cases[0].error = kLoaderFileNotFound;
  cases[1].photo.readable = false;
  cases[1].error = kLoaderUnreadable;
  cases[2].photo.decodable = false;
  cases[2].error = kLoaderUndecodable;
  // Running out of memory fails the photograph, not the saver.
  cases[3].photo.outOfMemory = true;
  cases[3].error = kLoaderOutOfMemory;
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

// Fast mode's loader --------------------------------------------------------

TEST(FastPictureLoader, FitsThePictureInsideTheScreenByItsRecord) {
  FakeImaging imaging;
  FakePhoto photo;
  photo.width = 3000;
  photo.height = 2000;
  ImageDims dims;
  dims.width = 2000;  // the record's proportions win over the picture's
  dims.height = 2000;
  FastPictureLoader loader(imaging, std::make_unique<FakePhotoSource>(photo), &dims, 1024, 768);
  loader.Begin();
  for (int i = 0; i < 5000 && !loader.Done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(loader.Done());
  std::unique_ptr<SlidePicture> picture = loader.Take();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 768);
  EXPECT_EQ(picture->Height(), 768);
  // Decoded no smaller than the screen shows the photograph.
  EXPECT_EQ(static_cast<FakePicture&>(*picture).neededWidth, 1024);
  EXPECT_EQ(static_cast<FakePicture&>(*picture).neededHeight, 682);

  FakePhoto broken;
  broken.decodable = false;
  FastPictureLoader failing(imaging, std::make_unique<FakePhotoSource>(broken), nullptr, 1024, 768);
  failing.Begin();
  for (int i = 0; i < 5000 && !failing.Done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(failing.Take(), nullptr);
}

TEST(FastPictureLoader, ALoadUnderWayStopsWhenTheLoaderGoes) {
  FakeImaging imaging;
  imaging.nextGate = std::make_shared<std::atomic<bool>>(false);  // never opens
  auto loader = std::make_unique<FastPictureLoader>(imaging, std::make_unique<FakePhotoSource>(FakePhoto()),
                                                    nullptr, 1024, 768);
  loader->Begin();
  EXPECT_FALSE(loader->Done());
  EXPECT_EQ(loader->Take(), nullptr);  // not before it is done
  // One that ignored the cancel would wait on its gate for ever here.
  loader.reset();
  SUCCEED();
}
