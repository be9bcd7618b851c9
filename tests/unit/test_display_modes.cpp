#include "graphics/display_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Labels(DisplayModeList& list) {
  std::vector<std::string> labels;
  LinkedList<DISPMODE*>& modes = list.Modes();
  for (bool more = modes.First(); more; more = modes.Next()) labels.push_back(modes.Current()->label);
  return labels;
}

std::vector<const DISPMODE*> Pointers(DisplayModeList& list) {
  std::vector<const DISPMODE*> pointers;
  LinkedList<DISPMODE*>& modes = list.Modes();
  for (bool more = modes.First(); more; more = modes.Next()) pointers.push_back(modes.Current());
  return pointers;
}

void UseDialogFilters(DisplayModeList& list) {
  list.SetMinWidth(640);
  list.SetMinHeight(480);
  list.SetMinBits(16);
  list.SetExcludedBits(24);
}

TEST(DisplayModeList, UnfilteredListTakesEveryModeWithItsLabel) {
  DisplayModeList list;
  EXPECT_EQ(list.MinWidth(), DisplayModeList::kNoFilter);
  EXPECT_EQ(list.ExcludedBits(), DisplayModeList::kNoFilter);
  EXPECT_TRUE(list.Add(320, 200, 8));
  EXPECT_TRUE(list.Add(1024, 768, 32));
  EXPECT_TRUE(list.Add(0, 0, 0));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"320x200x8", "1024x768x32", "0x0x0"}));
  DISPMODE* first = list.Modes().FirstNode()->data;
  EXPECT_EQ(first->width, 320);
  EXPECT_EQ(first->height, 200);
  EXPECT_EQ(first->bits, 8);
}

TEST(DisplayModeList, FiltersSkipBelowMinimaAndTheExcludedDepth) {
  DisplayModeList list;
  UseDialogFilters(list);
  EXPECT_TRUE(list.Passes(640, 480, 16));  // minima themselves pass
  EXPECT_FALSE(list.Passes(639, 480, 16));
  EXPECT_FALSE(list.Passes(640, 479, 16));
  EXPECT_FALSE(list.Passes(640, 480, 15));
  EXPECT_FALSE(list.Passes(1024, 768, 24));
  EXPECT_TRUE(list.Passes(1024, 768, 32));

  list.SetExcludedBits(32);
  EXPECT_TRUE(list.Passes(1024, 768, 24));
  EXPECT_FALSE(list.Passes(1024, 768, 32));
  list.SetMinHeight(DisplayModeList::kNoFilter);
  EXPECT_TRUE(list.Passes(640, 1, 16));

  EXPECT_FALSE(list.Add(639, 480, 16));
  EXPECT_EQ(list.Count(), 0);
}

TEST(DisplayModeList, DialogFiltersAndSortOnATypicalDriver) {
  DisplayModeList list;
  UseDialogFilters(list);
  EXPECT_FALSE(list.Add(640, 480, 8));
  EXPECT_FALSE(list.Add(800, 600, 24));
  EXPECT_TRUE(list.Add(1024, 768, 16));
  EXPECT_TRUE(list.Add(640, 480, 16));
  EXPECT_TRUE(list.Add(1024, 768, 32));
  list.Sort();
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"640x480x16", "1024x768x16", "1024x768x32"}));
}

TEST(DisplayModeList, EqualModesAreAllKeptInTheirOrder) {
  DisplayModeList list;
  list.Add(800, 600, 32);
  list.Add(800, 600, 16);
  list.Add(800, 600, 32);
  list.Add(800, 600, 16);
  const std::vector<const DISPMODE*> before = Pointers(list);
  list.Sort();
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"800x600x16", "800x600x16", "800x600x32", "800x600x32"}));
  // The sort swaps only modes out of order, so equal ones never trade places.
  EXPECT_EQ(Pointers(list), (std::vector<const DISPMODE*>{before[1], before[3], before[0], before[2]}));
}

TEST(DisplayModeList, SortOrdersByDepthThenWidthThenHeight) {
  DisplayModeList list;
  const int modes[][3] = {{1280, 1024, 32}, {640, 480, 32},  {1024, 768, 16}, {1280, 960, 16},
                          {800, 600, 8},    {1280, 720, 32}, {640, 400, 16},  {1600, 1200, 8},
                          {640, 480, 16},   {1280, 960, 32}, {1024, 768, 32}, {1280, 720, 16},
                          {800, 600, 32},   {640, 350, 8},   {1280, 1024, 16}};
  for (const auto& mode : modes) list.Add(mode[0], mode[1], mode[2]);
  const DISPMODE* first1024x768x32 = nullptr;
  for (const DISPMODE* mode : Pointers(list)) {
    if (mode->label == "1024x768x32") first1024x768x32 = mode;
  }
  list.Add(1024, 768, 32);  // a duplicate added last stays behind the first

  list.Sort();
  EXPECT_EQ(Labels(list),
            (std::vector<std::string>{"640x350x8", "800x600x8", "1600x1200x8", "640x400x16",
                                      "640x480x16", "1024x768x16", "1280x720x16", "1280x960x16",
                                      "1280x1024x16", "640x480x32", "800x600x32", "1024x768x32",
                                      "1024x768x32", "1280x720x32", "1280x960x32", "1280x1024x32"}));
  EXPECT_EQ(Pointers(list)[11], first1024x768x32);
  EXPECT_EQ(list.Count(), 16);
}

TEST(DisplayModeList, EqualWidthsAcrossADepthBoundaryStayApart) {
  DisplayModeList list;
  list.Add(640, 400, 32);
  list.Add(640, 480, 16);
  list.Sort();
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"640x480x16", "640x400x32"}));
}

}  // namespace
