#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/present_pacer.h"

namespace {

// A renderer that takes `renderMs` a frame, and a main thread that needs
// `drawMs` to make one: the present blocks for what the renderer still has
// to do, less the pause taken before it.
double Block(const PresentPacer& pacer, double renderMs, double drawMs) {
  return std::max(renderMs - drawMs - pacer.PauseMs(), 0.0);
}

TEST(PresentPacer, ASlowRendererTurnsTheBlockIntoAPause) {
  PresentPacer pacer;
  EXPECT_EQ(pacer.PauseMs(), 0);
  for (int frame = 0; frame < 60; ++frame) pacer.Presented(Block(pacer, 25.0, 5.0));
  // 20 ms of every frame were spent blocked; now most of it is a pause,
  // and the present still waits a little, so the renderer never idles.
  EXPECT_GE(pacer.PauseMs(), 16);
  EXPECT_LE(pacer.PauseMs(), 19);
}

TEST(PresentPacer, AFastRendererGetsNoPause) {
  PresentPacer pacer;
  for (int frame = 0; frame < 60; ++frame) pacer.Presented(Block(pacer, 4.0, 5.0));
  EXPECT_EQ(pacer.PauseMs(), 0);
  EXPECT_EQ(pacer.AveragePauseMs(), 0.0);
  // The renderer slows down, then speeds up again (a slide with fewer
  // tiles): the pause comes and goes with it.
  for (int frame = 0; frame < 60; ++frame) pacer.Presented(Block(pacer, 30.0, 5.0));
  ASSERT_GT(pacer.PauseMs(), 15);
  // A present that finds the renderer idle trims the pause by the aim each
  // time: a renderer 20 ms faster is caught up with in about 20 frames.
  for (int frame = 0; frame < 25; ++frame) pacer.Presented(Block(pacer, 6.0, 5.0));
  EXPECT_EQ(pacer.PauseMs(), 0);
  EXPECT_EQ(pacer.Presents(), 145);
  EXPECT_GT(pacer.AveragePauseMs(), 8.0);
  EXPECT_LT(pacer.AveragePauseMs(), 12.0);
}

TEST(PresentPacer, OneLongBlockAddsOnlyABoundedPause) {
  PresentPacer pacer;
  pacer.Presented(2000.0);  // the machine was busy elsewhere
  EXPECT_LE(pacer.PauseMs(), 10);
  // Gone again within a few frames once presents no longer block.
  for (int frame = 0; frame < 10; ++frame) pacer.Presented(0.0);
  EXPECT_EQ(pacer.PauseMs(), 0);
  // Never beyond a frame at 20 per second, however long it blocks.
  for (int frame = 0; frame < 100; ++frame) pacer.Presented(500.0);
  EXPECT_LE(pacer.PauseMs(), 50);
}

}  // namespace
