// The captions dialog's lists: the values behind the sizes and
// orientations, and the face filter that drops only consecutive repeats.
#include <gtest/gtest.h>

#include "ui/caption_choices.h"

TEST(CaptionChoices, SizesOrientationsAndAlignment) {
  const std::vector<CaptionChoice> sizes = CaptionSizeChoices();
  ASSERT_EQ(sizes.size(), 23u);
  EXPECT_EQ(sizes.front().text, "10");
  EXPECT_EQ(sizes.front().value, -10);
  EXPECT_EQ(sizes[12].text, "22");
  EXPECT_EQ(sizes[12].value, -22);
  EXPECT_EQ(sizes.back().text, "32");
  EXPECT_EQ(sizes.back().value, -32);

  const std::vector<CaptionChoice> sides = CaptionOrientationChoices();
  ASSERT_EQ(sides.size(), 3u);
  for (const CaptionChoice& side : sides)
    EXPECT_EQ(AlignmentForOrientation(side.value),
              side.text == "Left" ? kAlignLeft : side.text == "Right" ? kAlignRight : kAlignCentre);
  EXPECT_EQ(AlignmentForOrientation(7), kAlignCentre);
  EXPECT_EQ(AlignmentForOrientation(-1), kAlignCentre);
}

TEST(CaptionChoices, FacesRepeatedBackToBackAreDroppedOthersKept) {
  FaceNameFilter filter;
  std::vector<std::string> admitted;
  for (const char* face : {"", "", "Arial", "Arial", "Arial", "Tahoma", "Arial", "Tahoma", "Tahoma"})
    if (filter.Admit(face)) admitted.push_back(face);
  EXPECT_EQ(admitted, (std::vector<std::string>{"Arial", "Tahoma", "Arial", "Tahoma"}));
}
