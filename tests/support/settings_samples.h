// Settings that differ from every default, for round trips through a store.
#pragma once

#include <gtest/gtest.h>

#include "foundation/saver_settings.h"

// Changes every field that Save writes.
inline void FillSavedFieldsWithNonDefaults(SaverSettings& s) {
  s.MipMap = 0;
  s.PlayMusic = 0;
  s.ShuffleMusic = 0;
  s.DebugLog = 0;
  s.BitmapText = 1;
  s.SetAsWallpaper = 1;
  s.RandomOrder = 0;
  s.Animate = 0;
  s.Crossfade = 0;
  s.DefaultMusic = 0;
  s.CustomMusic = 1;
  s.FastMode = 1;
  s.StretchWallpaper = 1;
  s.ShowSpeedTip = 0;
  s.ShowBugReport = 0;
  s.BlankAllScreens = 0;
  s.CramImages = 0;
  s.CramSize = 512;
  s.AutoPerformance = 1;
  s.ShowCaptions = 1;
  s.CaptionFontSize = -31;
  s.CaptionOrientation = 2;
  s.CaptionItalic = false;
  s.CaptionBold = false;
  s.MusicVol = 17;
  s.ImageDelay = 7.25f;
  s.DispModeWidth = 1280;
  s.DispModeHeight = 1024;
  s.DispModeBits = 32;
  s.CaptionFont = "Liberation Serif";
}

inline void ExpectSameSavedFields(const SaverSettings& a, const SaverSettings& b) {
  EXPECT_EQ(a.MipMap, b.MipMap);
  EXPECT_EQ(a.PlayMusic, b.PlayMusic);
  EXPECT_EQ(a.ShuffleMusic, b.ShuffleMusic);
  EXPECT_EQ(a.DebugLog, b.DebugLog);
  EXPECT_EQ(a.BitmapText, b.BitmapText);
  EXPECT_EQ(a.SetAsWallpaper, b.SetAsWallpaper);
  EXPECT_EQ(a.RandomOrder, b.RandomOrder);
  EXPECT_EQ(a.Animate, b.Animate);
  EXPECT_EQ(a.Crossfade, b.Crossfade);
  EXPECT_EQ(a.DefaultMusic, b.DefaultMusic);
  EXPECT_EQ(a.CustomMusic, b.CustomMusic);
  EXPECT_EQ(a.FastMode, b.FastMode);
  EXPECT_EQ(a.StretchWallpaper, b.StretchWallpaper);
  EXPECT_EQ(a.ShowSpeedTip, b.ShowSpeedTip);
  EXPECT_EQ(a.ShowBugReport, b.ShowBugReport);
  EXPECT_EQ(a.BlankAllScreens, b.BlankAllScreens);
  EXPECT_EQ(a.CramImages, b.CramImages);
  EXPECT_EQ(a.CramSize, b.CramSize);
  EXPECT_EQ(a.AutoPerformance, b.AutoPerformance);
  EXPECT_EQ(a.ShowCaptions, b.ShowCaptions);
  EXPECT_EQ(a.CaptionFontSize, b.CaptionFontSize);
  EXPECT_EQ(a.CaptionOrientation, b.CaptionOrientation);
  EXPECT_EQ(a.CaptionItalic, b.CaptionItalic);
  EXPECT_EQ(a.CaptionBold, b.CaptionBold);
  EXPECT_EQ(a.MusicVol, b.MusicVol);
  EXPECT_FLOAT_EQ(a.ImageDelay, b.ImageDelay);
  EXPECT_EQ(a.DispModeWidth, b.DispModeWidth);
  EXPECT_EQ(a.DispModeHeight, b.DispModeHeight);
  EXPECT_EQ(a.DispModeBits, b.DispModeBits);
  EXPECT_EQ(a.CaptionFont, b.CaptionFont);
}
