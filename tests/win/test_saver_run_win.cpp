// The saver run's two drawers without the run around them: fast mode into
// memory device contexts, the Direct3D frame in a hidden window, each asking
// a fake run control to end the saver.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "bundle/bundle_writer.h"
#include "bundle/image_data.h"
#include "foundation/memory_store.h"
#include "foundation/saver_settings.h"
#include "graphics/device_setup_win32.h"
#include "slideshow/direct3d_frame_win32.h"
#include "slideshow/fast_mode_win32.h"
#include "tests/support/canvas_win32.h"
#include "tests/support/hidden_window_win32.h"

namespace {

const int kWidth = 160;
const int kHeight = 120;
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

class FakeRun : public RunControl {
 public:
  void RequestClose() override { ++closeRequests; }
  bool QuitRequested() const override { return quit; }
  bool PumpOneMessage() override {
    ++pumps;
    return false;
  }
  int closeRequests = 0;
  int pumps = 0;
  bool quit = false;
};

std::vector<uint8_t> SolidBitmap(int width, int height, COLORREF colour) {
  CImageData picture;
  EXPECT_TRUE(picture.Create(width, height));
  uint8_t* p = picture.GetPixels();
  for (int i = 0; i < width * height; ++i, p += 4) {
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
  }
  return picture.EncodeWindowsBitmap();
}

bool IsRoughly(COLORREF seen, COLORREF wanted) {
  auto within = [](int a, int b) { return a > b - 48 && a < b + 48; };
  return within(GetRValue(seen), GetRValue(wanted)) && within(GetGValue(seen), GetGValue(wanted)) &&
         within(GetBValue(seen), GetBValue(wanted));
}

// The settings a run reads, in a store of their own, and a bundle of
// photographs in a temporary file.
class SaverRunWin : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ss;
    settings_ = std::make_unique<SaverSettings>(store_);
    ss = settings_.get();
    ss->RandomOrder = 0;
    ss->ShowCaptions = 0;
    ss->Animate = 0;
    ss->AutoPerformance = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    bundlePath_ = std::string(temp) + std::to_string(GetCurrentProcessId()) + "_run_test.bdl";
  }
  void TearDown() override {
    ss = saved_;
    DeleteFileA(bundlePath_.c_str());
  }

  struct Photo {
    std::string name;
    std::vector<uint8_t> bytes;
  };
  void WriteBundle(const std::vector<Photo>& photos) {
    BundleWriter writer;
    writer.AddCategory("image");
    for (const Photo& p : photos) writer.AddFile(p.name, p.bytes);
    // The record tables may be empty, but a bundle without them is refused.
    writer.AddCategory("dims");
    writer.AddCategory("caps");
    ASSERT_TRUE(writer.WriteTo(bundlePath_));
  }
  void OpenSlideshow(int tileLimit, int textureBits) {
    SlideshowSetup setup;
    setup.width = kWidth;
    setup.height = kHeight;
    setup.tileLimit = tileLimit;
    setup.textureBits = textureBits;
    setup.bundlePath = bundlePath_;
    slideshow.Configure(setup);
  }

  FakeRun run;
  SlideshowInstance slideshow;

 private:
  MemoryStore store_;
  std::unique_ptr<SaverSettings> settings_;
  SaverSettings* saved_ = nullptr;
  std::string bundlePath_;
};

class FastModeWin : public SaverRunWin {
 protected:
  void SetUp() override {
    SaverRunWin::SetUp();
    surface.dc = canvas.dc();
    surface.width = kWidth;
    surface.height = kHeight;
  }
  // Frames once the display time is up, until the next photograph came on
  // (it loads on a thread of its own) or `limitMs` of real time passed.
  bool DrawNext(FastMode& fast, float firstFrameMs, DWORD limitMs = 30000) {
    const int32_t before = fast.PhotographChanges();
    const DWORD start = GetTickCount();
    fast.Draw(firstFrameMs);
    while (fast.PhotographChanges() == before && run.closeRequests == 0) {
      if (GetTickCount() - start > limitMs) return false;
      Sleep(2);
      fast.Draw(0.0f);
    }
    return fast.PhotographChanges() > before;
  }

  Canvas canvas{kWidth, kHeight, RGB(90, 90, 90)};
  SaverSurface surface;
  FrameTimer clock;
};

TEST_F(FastModeWin, EachPhotographFillsTheScreenCentredOverBlackInItsTurn) {
  ss->ImageDelay = 4.0f;
  WriteBundle({{"red.bmp", SolidBitmap(80, 40, kRed)}, {"blue.bmp", SolidBitmap(40, 80, kBlue)}});
  OpenSlideshow(256, 32);
  FastMode fast(surface, slideshow, run, clock, 0);
  fast.Setup();
  // The wide photograph fills the width; above and below it stays black.
  EXPECT_TRUE(IsRoughly(canvas.At(80, 60), kRed));
  EXPECT_TRUE(IsRoughly(canvas.At(2, 60), kRed));
  EXPECT_TRUE(IsRoughly(canvas.At(80, 5), RGB(0, 0, 0)));
  EXPECT_EQ(run.closeRequests, 0);
  EXPECT_GT(run.pumps, 0);  // the effect let messages through
  EXPECT_EQ(fast.EffectStats().count, 1);

  fast.Draw(3000.0f);  // not yet due
  EXPECT_TRUE(IsRoughly(canvas.At(80, 60), kRed));
  clock.Init();
  const uint64_t before = clock.last;
  ASSERT_TRUE(DrawNext(fast, 1000.0f));
  EXPECT_EQ(fast.PhotoOnScreen(), 1);
  EXPECT_TRUE(IsRoughly(canvas.At(80, 60), kBlue));
  EXPECT_TRUE(IsRoughly(canvas.At(5, 60), RGB(0, 0, 0)));  // the tall one leaves the sides
  EXPECT_EQ(fast.EffectStats().count, 2);
  // The effect's time is not counted as a frame: the clock started over.
  EXPECT_NE(clock.last, before);
  EXPECT_EQ(run.closeRequests, 0);
}

TEST_F(FastModeWin, AnEffectStopsAsSoonAsTheRunQuits) {
  WriteBundle({{"red.bmp", SolidBitmap(80, 40, kRed)}});
  OpenSlideshow(256, 32);
  FastMode fast(surface, slideshow, run, clock, 0);
  fast.Setup();
  canvas.Fill(0, 0, kWidth, kHeight, RGB(90, 90, 90));
  run.quit = true;
  for (int effect = 1; effect <= 12; ++effect) fast.PlayEffect(effect, 1500);
  EXPECT_EQ(canvas.At(80, 60), RGB(90, 90, 90));
  // Effect 0 is the plain copy, which needs no time.
  fast.PlayEffect(0, 0);
  EXPECT_TRUE(IsRoughly(canvas.At(80, 60), kRed));
}

TEST_F(FastModeWin, ABundleWithoutAPicturesEndsTheSaverWithoutBlame) {
  WriteBundle({{"broken.jpg", std::vector<uint8_t>(64, 0xAB)}});
  OpenSlideshow(256, 32);
  FastMode fast(surface, slideshow, run, clock, 0);
  fast.Setup();
  EXPECT_EQ(run.closeRequests, 1);
  EXPECT_EQ(ss->CriticalError, 0);
  EXPECT_EQ(canvas.At(80, 60), RGB(90, 90, 90));
}

TEST_F(FastModeWin, ABrokenPhotographAmongGoodOnesIsPassedOver) {
  ss->ImageDelay = 1.0f;
  WriteBundle({{"red.bmp", SolidBitmap(80, 40, kRed)}, {"broken.jpg", std::vector<uint8_t>(64, 0xAB)}});
  OpenSlideshow(256, 32);
  FastMode fast(surface, slideshow, run, clock, 0);
  fast.Setup();
  canvas.Fill(0, 0, kWidth, kHeight, RGB(90, 90, 90));
  // The pre-load goes past the broken one, round to red again.
  ASSERT_TRUE(DrawNext(fast, 1000.0f));
  EXPECT_EQ(fast.PhotoOnScreen(), 0);
  EXPECT_TRUE(IsRoughly(canvas.At(80, 60), kRed));
  EXPECT_EQ(run.closeRequests, 0);
  EXPECT_EQ(ss->CriticalError, 0);
}

class Direct3DFrameWin : public SaverRunWin {
 protected:
  void SetUp() override {
    SaverRunWin::SetUp();
    surface.window = window.handle();
    ASSERT_NE(surface.window, nullptr);
    surface.width = kWidth;
    surface.height = kHeight;
    surface.requestedBits = 32;
    device = CreateGraphicsDevice(surface, true);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(PrepareDirect3D(*device, kWidth, kHeight, false));
  }
  void TearDown() override {
    frame.reset();
    device.reset();
    SaverRunWin::TearDown();
  }
  void MakeFrame() {
    OpenSlideshow(device->tileLimit, device->textureBits);
    frame = std::make_unique<Direct3DFrame>(*device, slideshow, surface, stats, run);
  }
  COLORREF BackBufferAt(int x, int y) {
    HDC dc = nullptr;
    IDirectDrawSurface7* back = device->layer->GetBackBuffer();
    if (FAILED(back->GetDC(&dc))) return CLR_INVALID;
    const COLORREF colour = GetPixel(dc, x, y);
    back->ReleaseDC(dc);
    return colour;
  }
  // Frames of 40 ms until `done`, for at most `limitMs` of real time.
  template <class Done>
  bool DrawUntil(Done done, DWORD limitMs = 30000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > limitMs) return false;
      frame->Draw(40.0f);
      Sleep(5);
    }
    return true;
  }

  HiddenWindow window{"ZvSaverRunTestClass", kWidth, kHeight};
  SaverSurface surface;
  std::unique_ptr<GraphicsDevice> device;
  FrameStatistics stats;
  std::unique_ptr<Direct3DFrame> frame;
};

TEST_F(Direct3DFrameWin, DeviceSetUpReportsWhatItMade) {
  EXPECT_EQ(theGraphicsLayer, device->layer);
  EXPECT_GT(device->tileLimit, 0);
  EXPECT_LE(device->tileLimit, 256);
  EXPECT_TRUE(device->textureBits == 16 || device->textureBits == 32) << device->textureBits;
  EXPECT_EQ(device->desktop.Context(), nullptr);  // no fade asked for
  device.reset();
  EXPECT_EQ(theGraphicsLayer, nullptr);
}

TEST_F(Direct3DFrameWin, ThePhotographComesOnScreenAndStaysWithoutACloseRequest) {
  WriteBundle({{"red.bmp", SolidBitmap(128, 96, kRed)}});
  MakeFrame();
  EXPECT_TRUE(DrawUntil([&] { return IsRoughly(BackBufferAt(80, 60), kRed); }))
      << std::hex << BackBufferAt(80, 60);
  EXPECT_GE(slideshow.Show().Phase(), kPhaseShowing);
  EXPECT_GT(frame->LongestShowingFrameMs(), 0.0f);
  EXPECT_EQ(run.closeRequests, 0);
}

TEST_F(Direct3DFrameWin, NoGoodImagesAsksOnceToEndAndMarksTheRunFailed) {
  WriteBundle({{"broken.jpg", std::vector<uint8_t>(64, 0xAB)}});
  MakeFrame();
  EXPECT_TRUE(DrawUntil([&] { return run.closeRequests > 0; }));
  for (int i = 0; i < 5; ++i) frame->Draw(40.0f);
  EXPECT_EQ(run.closeRequests, 1);
  EXPECT_EQ(ss->CriticalError, 1);
}

TEST_F(Direct3DFrameWin, ALostDeviceEndsTheSaverBeforeAnythingIsDrawn) {
  WriteBundle({{"red.bmp", SolidBitmap(128, 96, kRed)}});
  MakeFrame();
  device->layer->SetInvalidated(true);
  frame->Draw(40.0f);
  EXPECT_EQ(run.closeRequests, 1);
  EXPECT_EQ(slideshow.Show().Current(), nullptr);
}

TEST_F(Direct3DFrameWin, ASlowMachineGetsSmallerSlidesFromTheSixthSecond) {
  WriteBundle({{"red.bmp", SolidBitmap(128, 96, kRed)}});
  ss->CramImages = 0;
  ss->CramSize = 512;
  ss->ImageDelay = 10.0f;
  MakeFrame();
  ASSERT_EQ(slideshow.Show().CramSize(), 512);
  ss->AutoPerformance = 1;
  stats.runTime = 5500;
  stats.averageFps = 40.0f;
  frame->AdjustToFrameRate();
  EXPECT_FALSE(slideshow.Show().Cram());
  stats.averageFps = 12.0f;
  frame->AdjustToFrameRate();
  EXPECT_TRUE(slideshow.Show().Cram());
  EXPECT_EQ(slideshow.Show().CramSize(), 1536);
  EXPECT_EQ(run.closeRequests, 0);
}

TEST_F(Direct3DFrameWin, TheSlowMachineRuleNeverRaisesALimitInForce) {
  WriteBundle({{"red.bmp", SolidBitmap(128, 96, kRed)}});
  ss->CramImages = 1;
  ss->CramSize = 1024;
  ss->ImageDelay = 10.0f;
  MakeFrame();
  ss->AutoPerformance = 1;
  stats.runTime = 5500;
  stats.averageFps = 12.0f;
  frame->AdjustToFrameRate();
  EXPECT_EQ(slideshow.Show().CramSize(), 1024);
  stats.runTime = 13500;  // the second step lowers it
  frame->AdjustToFrameRate();
  EXPECT_EQ(slideshow.Show().CramSize(), 1024);
  stats.runTime = 23500;
  frame->AdjustToFrameRate();
  EXPECT_EQ(slideshow.Show().CramSize(), 512);
}

}  // namespace
