#include <gtest/gtest.h>

#include <cstdint>

#include "ui/settings_mapping.h"
#include "ui/slider_geometry.h"

namespace {

uint32_t MouseParam(uint32_t x, uint32_t y) { return (y << 16) | (x & 0xFFFF); }

SliderGeometry Delay() { return MakeSliderGeometry(kDelaySliderLayout); }
SliderGeometry Volume() { return MakeSliderGeometry(kVolumeSliderLayout); }
SliderGeometry DisplayModes() { return MakeSliderGeometry(kDisplayModeSliderLayout); }

TEST(SliderGeometry, KeepsTheWholeKnobInsideAlongItsOwnAxis) {
  SliderGeometry delay = Delay();  // 108 wide, knob 7
  delay.SetPosition(-20);
  EXPECT_FLOAT_EQ(delay.Position(), 3.5f);
  delay.SetPosition(500);
  EXPECT_FLOAT_EQ(delay.Position(), 104.5f);
  delay.SetPosition(50.25f);
  EXPECT_FLOAT_EQ(delay.Position(), 50.25f);

  // Vertical: bottom edge and knob height, not width.
  SliderGeometry volume = Volume();  // 108 high, knob 18 x 7
  volume.SetPosition(500);
  EXPECT_FLOAT_EQ(volume.Position(), 104.5f);

  // The near limit counts from the client origin.
  SliderGeometry shifted = Delay();
  shifted.SetClientRect(10, 0, 108, 17);
  shifted.SetPosition(0);
  EXPECT_FLOAT_EQ(shifted.Position(), 13.5f);
}

TEST(SliderGeometry, BaseValueNeverReachesZeroButTheListValueDoes) {
  SliderGeometry delay = Delay();
  delay.SetPosition(0);
  EXPECT_FLOAT_EQ(delay.GetValue(), 3.5f / 104.5f);
  delay.SetPosition(1000);
  EXPECT_FLOAT_EQ(delay.GetValue(), 1.0f);

  SliderGeometry list = DisplayModes();  // 94 high, knob 13
  list.SetPosition(0);
  EXPECT_EQ(list.GetListValue(), 0.0f);
  list.SetPosition(1000);
  EXPECT_EQ(list.GetListValue(), 1.0f);
}

TEST(SliderGeometry, SetValueLimitsTheValueAndScalesByExtentLessHalfAKnob) {
  SliderGeometry delay = Delay();
  delay.SetValue(0.5f);
  EXPECT_FLOAT_EQ(delay.Position(), 52.25f);
  EXPECT_FLOAT_EQ(delay.GetValue(), 0.5f);
  delay.SetValue(7);
  EXPECT_FLOAT_EQ(delay.Position(), 104.5f);

  // The list slider uses the same scale, so a value set is not the value read.
  SliderGeometry list = DisplayModes();
  list.SetValue(1);
  EXPECT_EQ(list.GetListValue(), 1.0f);
  list.SetValue(0.5f);
  EXPECT_FLOAT_EQ(list.Position(), 43.75f);
  EXPECT_FLOAT_EQ(list.GetListValue(), (43.75f - 6.5f) / 81.0f);
}

TEST(SliderGeometry, MouseCoordinatesLeftOfTheWindowCountAsZero) {
  EXPECT_EQ(SliderGeometry::MouseCoordinate(55000), 55000);
  EXPECT_EQ(SliderGeometry::MouseCoordinate(55001), 0);
  EXPECT_EQ(SliderGeometry::MouseCoordinate(0xFFF6), 0);  // -10

  // A drag 10 pixels left of a horizontal slider parks the knob at its
  // leftmost place; the vertical slider reads the high word instead.
  SliderGeometry delay = Delay();
  delay.SetPosition(60);
  const int x = delay.AxisCoordinate(MouseParam(0xFFF6, 8));
  EXPECT_EQ(x, 0);
  delay.SetPosition(static_cast<float>(x));
  EXPECT_FLOAT_EQ(delay.Position(), 3.5f);

  SliderGeometry volume = Volume();
  EXPECT_EQ(volume.AxisCoordinate(MouseParam(0xFFF0, 77)), 77);
  EXPECT_EQ(volume.AxisCoordinate(MouseParam(5, 0xFFFE)), 0);
}

TEST(SliderGeometry, KnobHitIncludesBothEdges) {
  SliderGeometry delay = Delay();
  delay.SetPosition(50.5f);  // knob from 47 to 54
  EXPECT_TRUE(delay.HitKnob(47, 100));
  EXPECT_TRUE(delay.HitKnob(54, -100));  // across the axis anything goes
  EXPECT_FALSE(delay.HitKnob(46, 8));
  EXPECT_FALSE(delay.HitKnob(55, 8));

  SliderGeometry volume = Volume();
  volume.SetPosition(50.5f);
  EXPECT_TRUE(volume.HitKnob(300, 47));  // y is the axis
  EXPECT_FALSE(volume.HitKnob(50, 46));
}

TEST(SliderGeometry, ClickBesideTheKnobStepsTowardIt) {
  SliderGeometry delay = Delay();
  delay.SetPosition(50);
  EXPECT_FALSE(delay.HitKnob(90, 8));
  delay.StepToward(90);
  EXPECT_FLOAT_EQ(delay.Position(), 60.0f);
  delay.StepToward(20);
  EXPECT_FLOAT_EQ(delay.Position(), 50.0f);
  delay.StepToward(50);  // not beyond the centre: back toward the start
  EXPECT_FLOAT_EQ(delay.Position(), 40.0f);
  delay.SetPosition(100);
  delay.StepToward(107);
  EXPECT_FLOAT_EQ(delay.Position(), 104.5f);

}

TEST(SliderGeometry, WheelMovesHalfAStepFromTheKnobStart) {
  SliderGeometry list = DisplayModes();  // knob 13, step 35: half a step is 17
  list.SetPosition(50);
  list.WheelStep(120);
  EXPECT_FLOAT_EQ(list.Position(), 50 - 6.5f - 17);
  list.SetPosition(50);
  list.WheelStep(-120);
  EXPECT_FLOAT_EQ(list.Position(), 50 - 6.5f + 17);
  list.SetPosition(10);
  list.WheelStep(120);
  EXPECT_FLOAT_EQ(list.Position(), 6.5f);
}

TEST(SliderGeometry, ListSliderScrollsTwentyEntriesOfSixRowsToRowFifteen) {
  SliderGeometry list = DisplayModes();
  list.SetPosition(1000);
  EXPECT_EQ(SliderGeometry::ListTopRow(list.GetListValue(), 20, kDisplayModeVisibleRows), 15);
  list.SetPosition(0);
  EXPECT_EQ(SliderGeometry::ListTopRow(list.GetListValue(), 20, kDisplayModeVisibleRows), 0);
  EXPECT_EQ(SliderGeometry::ListTopRow(0.5f, 20, 6), 7);   // 7.5 truncated
  // Fewer entries than rows: nothing to scroll, never a negative row.
  EXPECT_EQ(SliderGeometry::ListTopRow(1.0f, 3, 6), 0);
  EXPECT_EQ(SliderGeometry::ListTopRow(1.0f, 0, 6), 0);
}

TEST(SliderGeometry, ListValueFollowsTheSelection) {
  EXPECT_EQ(SliderGeometry::ListValueForSelection(19, 20), 1.0f);
  EXPECT_EQ(SliderGeometry::ListValueForSelection(0, 20), 0.0f);
  EXPECT_FLOAT_EQ(SliderGeometry::ListValueForSelection(5, 11), 0.5f);
  EXPECT_EQ(SliderGeometry::ListValueForSelection(0, 1), 0.0f);
  EXPECT_EQ(SliderGeometry::ListValueForSelection(-1, 20), 0.0f);  // no selection

  // Selecting the last entry and scrolling from that value lands on the last page.
  SliderGeometry list = DisplayModes();
  list.SetValue(SliderGeometry::ListValueForSelection(19, 20));
  EXPECT_EQ(SliderGeometry::ListTopRow(list.GetListValue(), 20, 6), 15);
}

void ExpectRect(const SliderGeometry::PixelRect& r, int x, int y, int width, int height) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
}

TEST(SliderGeometry, DrawingRectanglesTruncateToWholePixels) {
  SliderGeometry delay = Delay();  // 108 x 17, knob 7 x 18
  delay.SetPosition(50.75f);
  ExpectRect(delay.TrackRect(), 0, 0, 108, 17);
  ExpectRect(delay.KnobRect(), 47, -1, 7, 18);   // 47.25; 17/2 = 8, minus 9
  ExpectRect(delay.EmptyPartRect(), 50, 0, 58, 17);
  ExpectRect(delay.FilledPartRect(), 0, 0, 50, 17);

  SliderGeometry volume = Volume();  // 18 x 108, knob 18 x 7
  volume.SetPosition(30.9f);
  ExpectRect(volume.KnobRect(), 1, 27, 18, 7);  // 18/2 + 1 - 9; 27.4
  ExpectRect(volume.EmptyPartRect(), 0, 0, 18, 30);
  ExpectRect(volume.FilledPartRect(), 0, 30, 18, 78);

  SliderGeometry list = DisplayModes();  // 15 x 94, knob 13 x 13
  list.SetPosition(6.5f);
  ExpectRect(list.KnobRect(), 1, 0, 13, 13);  // 7 + 1 - 6.5 = 1.5
}

TEST(SettingsMapping, VolumeStoresAtMost246) {
  SliderGeometry volume = Volume();
  volume.SetValue(VolumeSliderValue(255));
  EXPECT_EQ(MusicVolFromSliderValue(volume.GetValue()), 246);
  volume.SetValue(VolumeSliderValue(0));
  EXPECT_EQ(MusicVolFromSliderValue(volume.GetValue()), 0);

  // Below the clamp a volume comes back as itself or one less (float
  // truncation); above it every volume comes back as 246.
  for (int vol = 0; vol <= 255; ++vol) {
    volume.SetValue(VolumeSliderValue(vol));
    const int stored = MusicVolFromSliderValue(volume.GetValue());
    if (vol >= 246) {
      EXPECT_EQ(stored, 246) << vol;
    } else {
      EXPECT_TRUE(stored == vol || stored == vol - 1) << vol << " stored as " << stored;
    }
  }
}

TEST(SettingsMapping, DelayLabelFromFourToThirtySeconds) {
  SliderGeometry delay = Delay();
  delay.SetValue(DelaySliderValue(10));
  EXPECT_EQ(DelayLabelText(delay.GetValue()), "10 sec");
  EXPECT_EQ(ImageDelayFromSliderValue(delay.GetValue()), 10);

  delay.SetPosition(-100);  // knob dragged fully left
  EXPECT_EQ(DelayLabelText(delay.GetValue()), "4 sec");
  delay.SetPosition(1000);
  EXPECT_EQ(DelayLabelText(delay.GetValue()), "30 sec");
  EXPECT_EQ(ImageDelayFromSliderValue(delay.GetValue()), 30);
}

}  // namespace
