#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "slideshow/slideshow.h"
#include "tests/support/slide_fakes.h"

namespace {

// Photographs 0..count-1 that all load.
void AddPhotos(FakeSlideshowHost& host, int count) {
  for (int i = 0; i < count; ++i) host.photos.push_back(FakePhoto());
}

// Device set-up's configuration with ImageDelay 8 on a 4:3 screen.
void Configure(Slideshow& show, uint8_t animate, uint8_t crossfade, uint8_t randomOrder = 0) {
  show.SetAnimate(animate);
  show.SetCrossfade(crossfade);
  show.SetMipMap(1);
  show.SetShowCaptions(1);
  show.SetShufflePasses(50);
  show.SetRandomOrder(randomOrder);
  show.SetImageDelay(ImageDelayMsFor(8.0f));
  show.SetViewRange(0.75f, -0.75f);
  show.SetTileLimit(256);
  show.SetTextureBits(32);
  ASSERT_TRUE(show.Open("images.bdl"));
  show.SetCram(0);
  show.SetCramSize(1536);
  show.SetZoomRate(ZoomRateFor(8.0f));
}

// One frame, after the loader working ahead has finished its thread.
bool Frame(Slideshow& show, int32_t elapsedMs) {
  EXPECT_TRUE(WaitForLoader(show.PendingLoader()));
  return show.Update(elapsedMs);
}

// Frames of 0 ms until the first slide is up.
void ShowFirst(Slideshow& show) {
  for (int i = 0; i < 10 && show.Current() == nullptr; ++i) Frame(show, 0);
  ASSERT_NE(show.Current(), nullptr);
}

float WidthOf(const CSlideImage* slide) {
  return slide->gridPositions[slide->GridIndex(slide->columns, 0)].x - slide->gridPositions[0].x;
}

TEST(SlideshowTiming, ImageDelayAndZoomRateAvoidZero) {
  EXPECT_EQ(ImageDelayMsFor(8.0f), 8000);
  EXPECT_EQ(ImageDelayMsFor(2.5f), 2500);
  EXPECT_EQ(ImageDelayMsFor(0.0f), 10000);
  EXPECT_EQ(ImageDelayMsFor(-3.0f), 10000);
  EXPECT_FLOAT_EQ(ZoomRateFor(8.0f), 0.0003f);
  EXPECT_FLOAT_EQ(ZoomRateFor(0.0f), ZoomRateFor(10.0f));
  FakeSlideshowHost host;
  Slideshow show(&host);
  show.SetImageDelay(0);
  EXPECT_EQ(show.ImageDelayMs(), 10000);
}

TEST(SlideshowTiming, CrossfadeCycleIsFourSecondsOfFadeAndEightOfDisplay) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  EXPECT_EQ(show.Phase(), kPhaseOpeningFade);

  std::vector<int32_t> starts;
  std::vector<int32_t> ends;
  int32_t t = 0;
  bool wasInTransition = false;
  while (t < 40000) {
    Frame(show, 20);
    t += 20;
    if (t == 1000) {
      EXPECT_NEAR(show.Brightness()[0], 0.5f, 0.011f);  // fading in over 2 s
    }
    if (show.InTransition() != wasInTransition) {
      (show.InTransition() ? starts : ends).push_back(t);
      wasInTransition = show.InTransition();
    }
  }
  ASSERT_GE(starts.size(), 3u);
  ASSERT_GE(ends.size(), 2u);
  // 2 s of opening fade, then 8 s of display.
  EXPECT_NEAR(starts[0], 10000, 20);
  EXPECT_EQ(ends[0] - starts[0], 4000);
  EXPECT_EQ(starts[1] - starts[0], 12000);
  EXPECT_EQ(starts[2] - starts[1], 12000);
}

TEST(SlideshowTiming, FadeThroughBlackIsDarkestWhenTheSlidesChange) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 1, 0);
  ShowFirst(show);
  while (!show.InTransition()) Frame(show, 20);
  ASSERT_EQ(PhotoOf(show.Current()), 0);
  EXPECT_EQ(show.Next(), nullptr);
  while (show.FadeClock() < 1980) Frame(show, 20);
  EXPECT_EQ(show.FadeClock(), 1980);
  EXPECT_GT(show.Brightness()[0], 0.0f);
  EXPECT_EQ(PhotoOf(show.Current()), 0);
  EXPECT_EQ(show.LoaderCount(), 1);

  Frame(show, 20);
  EXPECT_EQ(show.FadeClock(), 2000);
  EXPECT_FLOAT_EQ(show.Brightness()[0], 0.0f);
  EXPECT_EQ(PhotoOf(show.Current()), 1);  // changed at the darkest moment
  EXPECT_EQ(show.LoaderCount(), 1);       // and the next one is loading

  while (show.InTransition()) Frame(show, 20);
  EXPECT_FLOAT_EQ(show.Brightness()[2], 1.0f);
  EXPECT_EQ(show.ShownClock(), 0);
}

TEST(SlideshowTiming, SurplusOfALongFrameIsCarriedIntoTheTransition) {
  FakeSlideshowHost host;
  AddPhotos(host, 2);
  Slideshow show(&host);
  Configure(show, 0, 1);
  ShowFirst(show);
  // Without animation the first slide is at full brightness at once.
  EXPECT_FLOAT_EQ(show.Brightness()[0], 1.0f);
  EXPECT_FALSE(show.OpeningFade());
  Frame(show, 7900);
  EXPECT_FALSE(show.InTransition());
  Frame(show, 300);
  ASSERT_TRUE(show.InTransition());
  EXPECT_EQ(show.FadeClock(), 200);
  EXPECT_FLOAT_EQ(show.Progress(), 0.05f);
  EXPECT_EQ(PhotoOf(show.Next()), 1);
}

TEST(SlideshowTiming, SynchronousWorkIsSubtractedFromTheNextFrame) {
  FakeSlideshowHost host;
  AddPhotos(host, 2);
  Slideshow show(&host);
  Configure(show, 0, 1);
  ShowFirst(show);
  Frame(show, 0);  // whatever start-up stalled is spent
  host.stopwatchStep = 15.0;  // every timed section now takes 15 ms
  Frame(show, 8000);  // display time up: taking the next slide is timed
  ASSERT_TRUE(show.InTransition());
  EXPECT_EQ(show.FadeClock(), 0);
  const int32_t clock = show.Clock();
  Frame(show, 100);
  EXPECT_EQ(show.Clock() - clock, 85);
  EXPECT_EQ(show.FadeClock(), 85);
  // A stall longer than the frame does not run time backwards.
  Frame(show, 5000);  // the transition ends; starting the next loader is timed
  ASSERT_FALSE(show.InTransition());
  const int32_t later = show.Clock();
  Frame(show, 5);
  EXPECT_EQ(show.Clock(), later);
}

TEST(SlideshowZoom, DirectionsAlternateAndAZoomOutSlideEndsAtItsFittedSize) {
  FakeSlideshowHost host;
  host.square = true;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  EXPECT_FLOAT_EQ(show.Current()->zoomDirection, 1.0f);
  EXPECT_FLOAT_EQ(show.Current()->size, 2.0f);  // a square covers the 2-unit width

  while (!show.InTransition()) Frame(show, 20);
  CSlideImage* outgoing = show.Next();
  ASSERT_NE(outgoing, nullptr);
  EXPECT_FLOAT_EQ(outgoing->zoomDirection, -1.0f);
  // Enlarged in advance by (8000 + 2 x 4000) / 20 x 0.0003 = 0.24, less this frame's step.
  EXPECT_NEAR(WidthOf(outgoing) / 2.0f, 1.24f - 0.0003f, 1e-4);

  // Follow it through display and its own outgoing fade.
  float lastWidth = 0.0f;
  while (true) {
    Frame(show, 20);
    if (show.Current() != outgoing && show.Next() != outgoing) break;
    lastWidth = WidthOf(outgoing);
    if (show.InTransition() && show.Current() == outgoing) {
      ASSERT_NE(show.Next(), nullptr);
      EXPECT_FLOAT_EQ(show.Next()->zoomDirection, 1.0f);
    }
  }
  EXPECT_NEAR(lastWidth / 2.0f, 1.0f, 1e-3);
}

TEST(SlideshowZoom, ZoomInSlideGrowsByTheZoomAmountOverItsLife) {
  FakeSlideshowHost host;
  host.square = true;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  // The third slide zooms in; it lives 4 + 8 + 4 s.
  CSlideImage* tracked = nullptr;
  float lastWidth = 0.0f;
  for (int frame = 0; frame < 3000; ++frame) {
    Frame(show, 20);
    if (tracked == nullptr && show.Next() != nullptr && show.Next()->zoomDirection > 0 &&
        show.Next() != show.Current()) {
      tracked = show.Next();
      EXPECT_NEAR(WidthOf(tracked), 2.0f * 1.0003f, 1e-4);
    }
    if (tracked != nullptr) {
      if (show.Current() != tracked && show.Next() != tracked) break;
      lastWidth = WidthOf(tracked);
    }
  }
  ASSERT_NE(tracked, nullptr);
  EXPECT_NEAR(lastWidth / 2.0f, 1.24f, 1e-3);
}

TEST(SlideshowZoom, CentreHonoursTheRestrictions) {
  for (int restriction = 0; restriction < 2; ++restriction) {
    FakeSlideshowHost host;
    host.horizontalOnly = restriction == 0;
    host.verticalOnly = restriction == 1;
    AddPhotos(host, 2);
    Slideshow show(&host);
    Configure(show, 1, 1);
    ShowFirst(show);
    for (int i = 0; i < 6; ++i) {
      const SlidePoint& centre = show.Current()->centre;
      if (restriction == 0) {
        EXPECT_FLOAT_EQ(centre.y, 0.0f);
        EXPECT_GE(centre.x, -1.0f);
        EXPECT_LT(centre.x, 1.0f);
      } else {
        EXPECT_FLOAT_EQ(centre.x, 0.0f);
        EXPECT_GE(centre.y, -0.75f);
        EXPECT_LT(centre.y, 0.75f);
      }
      Frame(show, 100000);  // one whole cycle
    }
  }
}

// Each frame of 100 s runs one whole cycle without animation: the queued
// photographs are then the play order.
TEST(SlideshowOrder, InOrderWrapsToTheStart) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 0, 1);
  ShowFirst(show);
  for (int i = 0; i < 5; ++i) Frame(show, 100000);
  EXPECT_EQ(host.queued, (std::vector<int32_t>{0, 1, 2, 0, 1, 2, 0}));
  EXPECT_EQ(host.timeCalls, 0);
  EXPECT_EQ(PhotoOf(show.Current()), 2);
}

TEST(SlideshowOrder, RandomOrderReshufflesAtEveryWrap) {
  FakeSlideshowHost host;
  AddPhotos(host, 4);
  Slideshow show(&host);
  Configure(show, 0, 0, 1);
  EXPECT_EQ(host.timeCalls, 1);
  EXPECT_EQ(show.GetPlayOrder().Count(), 4);
  ShowFirst(show);
  for (int i = 0; i < 11; ++i) Frame(show, 100000);
  ASSERT_GE(host.queued.size(), 12u);
  // Every pass through the order is a permutation, each with its own shuffle.
  for (size_t pass = 0; pass < 3; ++pass) {
    std::vector<int32_t> seen(host.queued.begin() + pass * 4, host.queued.begin() + pass * 4 + 4);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3}));
  }
  EXPECT_EQ(host.timeCalls, 1 + static_cast<int>(host.queued.size() - 1) / 4);
}

TEST(SlideshowOrder, OnePhotographFollowsItself) {
  FakeSlideshowHost host;
  AddPhotos(host, 1);
  Slideshow show(&host);
  Configure(show, 0, 1, 1);
  ShowFirst(show);
  for (int i = 0; i < 3; ++i) Frame(show, 100000);
  EXPECT_EQ(host.queued, (std::vector<int32_t>{0, 0, 0, 0, 0}));
  EXPECT_EQ(host.timeCalls, 5);  // a reshuffle at every wrap
  EXPECT_EQ(PhotoOf(show.Current()), 0);
}

// Each caption goes to the slot it will be shown from: the slot that is
// current once its photograph's slide is.
TEST(SlideshowCaptions, SlotsFollowTheSlides) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  Slideshow show(&host);
  Configure(show, 0, 1);
  EXPECT_EQ(host.captionsOpened, (std::pair<int32_t, int32_t>{256, 32}));
  ShowFirst(show);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 0}, {1, 1}};
  EXPECT_EQ(host.captions, expected);
  EXPECT_EQ(show.CurrentCaptionSlot(), 0);
  while (!show.InTransition()) Frame(show, 20);
  while (show.InTransition()) Frame(show, 20);
  EXPECT_EQ(PhotoOf(show.Current()), 1);
  EXPECT_EQ(show.CurrentCaptionSlot(), 1);
  EXPECT_EQ(host.captions.back(), (std::pair<int32_t, int32_t>{0, 2}));

  FakeSlideshowHost quiet;
  AddPhotos(quiet, 2);
  Slideshow plain(&quiet);
  plain.SetShowCaptions(0);
  plain.SetTileLimit(256);
  ASSERT_TRUE(plain.Open("images.bdl"));
  ShowFirst(plain);
  EXPECT_TRUE(quiet.captions.empty());
  EXPECT_EQ(quiet.captionsOpened, (std::pair<int32_t, int32_t>{0, 0}));
}

TEST(SlideshowFailures, FailedPhotographIsSkipped) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  host.photos[1].decodable = false;
  Slideshow show(&host);
  Configure(show, 0, 1);
  ShowFirst(show);
  EXPECT_EQ(PhotoOf(show.Current()), 0);
  Frame(show, 100);  // clean-up drops photograph 1 and queues 2
  EXPECT_EQ(host.queued, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(show.LoaderCount(), 1);
  EXPECT_TRUE(Frame(show, 100000));
  EXPECT_EQ(PhotoOf(show.Current()), 2);
  EXPECT_FALSE(show.NoUsablePhotograph());
}

TEST(SlideshowFailures, FailedFirstPhotographIsSkippedToo) {
  FakeSlideshowHost host;
  AddPhotos(host, 2);
  host.photos[0].readable = false;
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  EXPECT_EQ(PhotoOf(show.Current()), 1);
  // The slideshow clock did not run while nothing was shown.
  EXPECT_EQ(show.Clock(), 0);
  EXPECT_EQ(host.captions.front(), (std::pair<int32_t, int32_t>{0, 0}));
  EXPECT_EQ(host.captions[1], (std::pair<int32_t, int32_t>{0, 1}));  // into the current slot
}

TEST(SlideshowFailures, NoUsablePhotographIsReported) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  host.photos[0].decodable = false;
  host.photos[1].readable = false;
  host.photos[2].locate = kLoaderFileNotFound;
  Slideshow show(&host);
  Configure(show, 1, 1);
  bool running = true;
  for (int i = 0; i < 20 && running; ++i) running = Frame(show, 20);
  EXPECT_FALSE(running);
  EXPECT_TRUE(show.NoUsablePhotograph());
  EXPECT_EQ(show.Current(), nullptr);
  EXPECT_EQ(show.LoaderCount(), 0);
  // Each photograph was tried once; nothing more is queued.
  EXPECT_EQ(host.queued.size(), 3u);
  EXPECT_FALSE(show.Update(20));

  FakeSlideshowHost empty;
  Slideshow nothing(&empty);
  EXPECT_FALSE(nothing.Open("images.bdl"));
  EXPECT_TRUE(nothing.NoUsablePhotograph());
  EXPECT_FALSE(nothing.Update(20));
}

}  // namespace

namespace {

// Photographs that take many tiles, so uploads span frames when the host's
// stopwatch lets only three fit into a frame: the first and two in the budget.
FakeSlideshowHost& LargePhotos(FakeSlideshowHost& host, int count) {
  for (int i = 0; i < count; ++i) {
    FakePhoto photo;
    photo.width = 3000;
    photo.height = 2000;
    host.photos.push_back(photo);
  }
  host.stopwatchStep = 3.0;
  return host;
}

// Frames of `ms` until `done` or `limit` frames; the loader threads run meanwhile.
template <class Done>
bool FramesUntil(Slideshow& show, int32_t ms, int limit, Done done) {
  for (int i = 0; i < limit; ++i) {
    if (done()) return true;
    show.Update(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

}  // namespace

TEST(SlideshowLate, ALatePhotographKeepsTheCurrentSlideMovingUntilAllItsTilesAreUp) {
  FakeSlideshowHost host;
  LargePhotos(host, 3);
  host.photos[1].gate = std::make_shared<std::atomic<bool>>(false);
  Slideshow show(&host);
  Configure(show, 1, 1);
  // The first slide shows only once every one of its 96 tiles is up, two a frame.
  ASSERT_TRUE(FramesUntil(show, 0, 2000, [&] { return show.Current() != nullptr; }));
  EXPECT_EQ(host.imaging.uploads.size(), 96u);
  const CSlideImage* first = show.Current();

  // Each frame the current slide grows by the same share: no stops, no jumps.
  float width = WidthOf(first);
  float smallest = 1.0f, largest = 0.0f;
  auto step = [&] {
    const float now = WidthOf(show.Current());
    const float grown = (now - width) / width;
    smallest = std::min(smallest, grown);
    largest = std::max(largest, grown);
    width = now;
  };
  // Far past the display time photograph 1 still decodes: no change.
  for (int t = 0; t < 20000; t += 20) {
    ASSERT_TRUE(show.Update(20));
    ASSERT_FALSE(show.InTransition());
    ASSERT_EQ(show.Current(), first);
    step();
  }

  // Once it decodes, its tiles go up over several frames, and only then
  // does the cross-fade begin.
  host.photos[1].gate->store(true);
  const size_t before = host.imaging.uploads.size();
  int uploadingFrames = 0;
  bool checked = false;  // the first check comes before any frame
  ASSERT_TRUE(FramesUntil(show, 20, 5000, [&] {
    if (checked) step();
    checked = true;
    if (show.InTransition()) return true;
    if (host.imaging.uploads.size() > before) ++uploadingFrames;
    return false;
  }));
  EXPECT_GT(uploadingFrames, 1);
  EXPECT_EQ(show.Current(), first);
  ASSERT_NE(show.Next(), nullptr);
  EXPECT_TRUE(show.Next()->IsComplete());
  EXPECT_EQ(show.LateChanges(), 1);
  EXPECT_GT(smallest, 0.0f);
  EXPECT_LT(largest, smallest * 1.5f);
}

TEST(SlideshowLate, AFrameWhoseFirstCopyWaitedForTheCardStillCopiesSeveralTiles) {
  FakeSlideshowHost host;
  LargePhotos(host, 2);
  host.stopwatchStep = 1.0;
  // The first copy of each frame waits 40 ms for the card; the rest are quick.
  bool waited = false;
  host.imaging.onUpload = [&] {
    if (!waited) host.stopwatch += 40.0;
    waited = true;
  };
  Slideshow show(&host);
  Configure(show, 1, 1);
  int uploadingFrames = 0;
  size_t before = 0;
  ASSERT_TRUE(FramesUntil(show, 0, 2000, [&] {
    if (host.imaging.uploads.size() > before) ++uploadingFrames;
    before = host.imaging.uploads.size();
    waited = false;
    return show.Current() != nullptr;
  }));
  EXPECT_EQ(host.imaging.uploads.size(), 96u);
  EXPECT_LE(uploadingFrames, 96 / 3);
}

TEST(SlideshowLate, SlidesAreMadeForTheScreenAtTheLargestZoom) {
  FakeSlideshowHost host;
  LargePhotos(host, 2);
  Slideshow show(&host);
  Configure(show, 1, 1);
  show.SetScreenSize(1024, 768);
  const SlideScreen animated = show.ScreenForSlides();
  EXPECT_TRUE(animated.cover);
  // 16 s on screen at the 8-second zoom rate: 24 % larger at the end.
  EXPECT_NEAR(animated.largestZoom, 1.24f, 1e-4);
  show.SetAnimate(0);
  EXPECT_FALSE(show.ScreenForSlides().cover);
  EXPECT_FLOAT_EQ(show.ScreenForSlides().largestZoom, 1.0f);
}

TEST(SlideshowOrder, AReshuffleNeverShowsThePhotographJustShownAgain) {
  FakeSlideshowHost host;
  AddPhotos(host, 2);
  Slideshow show(&host);
  Configure(show, 0, 1, 1);
  ShowFirst(show);
  for (int i = 0; i < 40; ++i) {
    Frame(show, 100000);
    // The photograph on screen is the slide's own, whatever the order did.
    ASSERT_EQ(show.CurrentPhoto(), PhotoOf(show.Current()));
  }
  ASSERT_GT(host.queued.size(), 40u);
  for (size_t i = 1; i < host.queued.size(); ++i) ASSERT_NE(host.queued[i], host.queued[i - 1]) << i;
}

TEST(SlideshowMemory, APhotographKeepsItsBytesOnlyWhileALoaderReadsThem) {
  FakeSlideshowHost host;
  AddPhotos(host, 5);
  host.photos[3].decodable = false;
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  for (int i = 0; i < 400; ++i) {
    Frame(show, 100);
    // Held: queued and not yet released; each load lets go once.
    std::vector<int32_t> held;
    for (int32_t photo = 0; photo < 5; ++photo) {
      const auto queued = std::count(host.queued.begin(), host.queued.end(), photo);
      const auto released = std::count(host.released.begin(), host.released.end(), photo);
      ASSERT_LE(released, queued);
      if (queued > released) held.push_back(photo);
    }
    // Only the photograph loading ahead; the ones on screen have their tiles.
    ASSERT_LE(held.size(), 1u);
    ASSERT_EQ(std::count(held.begin(), held.end(), show.CurrentPhoto()), 0);
  }
  // The failed photograph went too.
  EXPECT_GE(std::count(host.released.begin(), host.released.end(), 3), 1);
  EXPECT_GE(host.released.size(), 4u);
}

TEST(SlideshowMemory, APhotographStillDecodingKeepsItsBytesHoweverLateItIs) {
  FakeSlideshowHost host;
  AddPhotos(host, 3);
  host.photos[1].gate = std::make_shared<std::atomic<bool>>(false);
  Slideshow show(&host);
  Configure(show, 1, 1);
  ShowFirst(show);
  for (int t = 0; t < 20000; t += 20) ASSERT_TRUE(show.Update(20));
  EXPECT_EQ(host.released, std::vector<int32_t>{0});
  host.photos[1].gate->store(true);
  ASSERT_TRUE(FramesUntil(show, 20, 5000, [&] { return show.InTransition(); }));
  EXPECT_EQ(host.released, (std::vector<int32_t>{0, 1}));
}
