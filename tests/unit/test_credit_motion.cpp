// The credits panel's motion: the same star field at every start, layers of
// their own brightness and speed, stars wrapping to the opposite edge, the
// frame factor scaling every move, and the credit lines looping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/credit_motion.h"

namespace {

struct Recorder : CreditCanvas {
  struct Dot {
    int x, y;
    uint32_t colour;
  };
  std::vector<Dot> stars;
  std::vector<std::pair<std::string, int>> lines;
  void Star(int x, int y, uint32_t colour) override { stars.push_back({x, y, colour}); }
  void Line(const std::string& text, int top, int height) override {
    EXPECT_EQ(height, 30);
    lines.emplace_back(text, top);
  }
};

void Panel(CreditMotion& motion, int lineCount) {
  motion.SetPanelSize(400, 160);
  motion.SetLineGap(0);
  for (int i = 0; i < lineCount; ++i) motion.AddLine("line " + std::to_string(i));
}

TEST(CreditMotion, EveryStartHasTheSameStarFieldInFourLayers) {
  CreditMotion a;
  Panel(a, 3);
  CreditMotion b;
  Panel(b, 3);
  a.Start();
  b.Start();
  ASSERT_EQ(a.stars.size(), 4u);
  const uint32_t greys[] = {255, 205, 155, 105};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(a.stars[i].size(), static_cast<size_t>(25 + i));
    EXPECT_EQ(a.layerColours[i], greys[i] * 0x010101u);
    for (size_t j = 0; j < a.stars[i].size(); ++j) {
      EXPECT_EQ(a.stars[i][j].x, b.stars[i][j].x);
      EXPECT_EQ(a.stars[i][j].y, b.stars[i][j].y);
      EXPECT_GE(a.stars[i][j].x, 0);
      EXPECT_LT(a.stars[i][j].x, 400);
      EXPECT_LT(a.stars[i][j].y, 160);
    }
  }
  // Lines wait just below the panel, one line height apart.
  int k = 0;
  for (bool more = a.lines.First(); more; more = a.lines.Next(), ++k)
    EXPECT_EQ(a.lines.Current().y, 160 + 30 * k);
}

TEST(CreditMotion, TheFrameFactorScalesStarsPerLayerAndText) {
  CreditMotion motion;
  Panel(motion, 1);
  motion.Start();
  for (auto& layer : motion.stars)
    for (CreditStar& star : layer) star = {200, 50};
  motion.lines.First();
  motion.lines.Current().y = 100;
  Recorder canvas;
  const float f = CreditMotion::FrameFactor(50);  // a slow frame: three 60 Hz frames
  EXPECT_NEAR(f, 3.0f, 0.001f);
  motion.Step(f, canvas);
  const float factors[] = {1.5f, 1.5f - 1 / 3.0f, 1.5f - 2 / 3.0f, 0.5f};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(motion.stars[i][0].x, 200 - factors[i] * f, 1e-3) << i;
  EXPECT_EQ(motion.stars[0][0].y, 50);
  EXPECT_NEAR(motion.lines.Current().y, 100 - 0.5f * f, 1e-4);
  // Dimmer layers first, each star where it was before the move.
  ASSERT_EQ(canvas.stars.size(), 25u + 26 + 27 + 28);
  EXPECT_EQ(canvas.stars.front().colour, 105u * 0x010101u);
  EXPECT_EQ(canvas.stars.back().colour, 255u * 0x010101u);
  EXPECT_EQ(canvas.stars.front().x, 200);
  ASSERT_EQ(canvas.lines.size(), 1u);
  EXPECT_EQ(canvas.lines[0].second, 100);
}

TEST(CreditMotion, StarsLeavingAnEdgeComeBackAtTheOppositeOne) {
  CreditMotion motion;
  Panel(motion, 0);
  motion.starSpeedY = 1.0f;
  motion.Start();
  Recorder canvas;
  CreditStar& left = motion.stars[0][0];
  CreditStar& bottom = motion.stars[0][1];
  left = {1, 10};
  bottom = {100, 159};
  motion.Step(2.0f, canvas);  // layer 0 moves 3 pixels left and 3 down
  EXPECT_FLOAT_EQ(left.x, 1 - 3 + 400.0f);
  EXPECT_GE(left.y, 0);
  EXPECT_LT(left.y, 160);
  EXPECT_FLOAT_EQ(bottom.y, 159 + 3 - 160.0f);  // and a new random column
  EXPECT_GE(bottom.x, 0);
  EXPECT_LT(bottom.x, 400);
}

TEST(CreditMotion, LinesBelowThePanelAreNotDrawnAndLinesLoopInOrder) {
  CreditMotion motion;
  Panel(motion, 4);
  motion.Start();
  Recorder canvas;
  motion.Step(0, canvas);
  ASSERT_EQ(canvas.lines.size(), 1u);  // only the first touches the bottom edge
  // Scroll until the first line has left the top: it goes round to behind
  // the last one, the same distance as a whole pass of the list and panel.
  const float pass = 4 * 30 + 160;
  float travelled = 0;
  while (travelled < 160 + 30) {
    motion.Step(1.0f, canvas);
    travelled += 0.5f;
  }
  std::vector<float> tops;
  for (bool more = motion.lines.First(); more; more = motion.lines.Next()) tops.push_back(motion.lines.Current().y);
  EXPECT_NEAR(tops[0], 160 - travelled + pass, 1e-3);
  EXPECT_GT(tops[0], tops[3]);  // below the last line
  for (int k = 2; k < 4; ++k) EXPECT_NEAR(tops[k] - tops[k - 1], 30, 1e-3);
  // Every line keeps its place in the pass: the spacing of a whole loop.
  EXPECT_NEAR(tops[0] - tops[3], pass - 3 * 30, 1e-3);
}

}  // namespace
