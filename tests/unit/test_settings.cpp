#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/memory_store.h"
#include "foundation/registry_helpers.h"
#include "foundation/saver_settings.h"
#include "tests/support/settings_samples.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void PutDword(Hive hive, const std::string& key, const std::string& name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16),
                              static_cast<uint8_t>(value >> 24)};
    store.Put(hive, key, name, ValueType_Dword, bytes, 4);
  }
  void PutProductDword(const std::string& name, uint32_t value) {
    PutDword(Hive_CurrentUser, kProductKey, name, value);
  }
  void PutProductText(const std::string& name, const std::string& bytes) {
    store.Put(Hive_CurrentUser, kProductKey, name, ValueType_String, bytes.data(),
              static_cast<uint32_t>(bytes.size()));
  }
  // The stored bytes of a product value; empty when absent.
  std::string Stored(const std::string& name, Hive hive = Hive_CurrentUser) {
    const StoredValue* value = store.Find(hive, kProductKey, name);
    return value ? std::string(value->bytes.begin(), value->bytes.end()) : std::string();
  }
  uint32_t StoredType(const std::string& name, Hive hive = Hive_CurrentUser) {
    const StoredValue* value = store.Find(hive, kProductKey, name);
    return value ? value->type : 0;
  }
  void StartUp(SaverSettings& s) {
    s.ReadSystemValues();
    s.Load();
  }
  std::vector<std::string> AccessedNames(StoreAccess::Kind kind, Hive hive) {
    std::vector<std::string> names;
    for (const StoreAccess& a : store.Accesses())
      if (a.kind == kind && a.hive == hive) names.push_back(a.name);
    return names;
  }

  MemoryStore store;
};

TEST_F(SettingsTest, WithoutAnyKeyTheRecordHoldsTheDefaults) {
  SaverSettings s(store);
  StartUp(s);
  EXPECT_EQ(s.MipMap, 1);
  EXPECT_EQ(s.PlayMusic, 1);
  EXPECT_EQ(s.ShuffleMusic, 1);
  EXPECT_EQ(s.DebugLog, 1);
  EXPECT_EQ(s.BitmapText, 0);
  EXPECT_EQ(s.SetAsWallpaper, 0);
  EXPECT_EQ(s.RandomOrder, 1);
  EXPECT_EQ(s.Animate, 1);
  EXPECT_EQ(s.Crossfade, 1);
  EXPECT_EQ(s.DefaultMusic, 1);
  EXPECT_EQ(s.CustomMusic, 0);
  EXPECT_EQ(s.FastMode, 0);
  EXPECT_EQ(s.StretchWallpaper, 0);
  EXPECT_EQ(s.ShowSpeedTip, 1);
  EXPECT_EQ(s.ShowBugReport, 1);
  EXPECT_EQ(s.CrashFlag, 0);
  EXPECT_EQ(s.DoChecksum, 0);
  EXPECT_EQ(s.CriticalError, 0);
  EXPECT_EQ(s.BlankAllScreens, 1);
  EXPECT_EQ(s.CramImages, 1);
  EXPECT_EQ(s.CramSize, 1024);
  EXPECT_EQ(s.AutoPerformance, 0);
  EXPECT_EQ(s.ShowCaptions, 0);
  EXPECT_EQ(s.CaptionFontSize, -22);
  EXPECT_EQ(s.CaptionOrientation, 0);
  EXPECT_TRUE(s.CaptionItalic);
  EXPECT_TRUE(s.CaptionBold);
  EXPECT_EQ(s.MusicVol, 255);
  EXPECT_FLOAT_EQ(s.AvgFps, 100.0f);
  EXPECT_FLOAT_EQ(s.ImageDelay, 10.0f);
  EXPECT_EQ(s.DispModeWidth, 800);
  EXPECT_EQ(s.DispModeHeight, 600);
  EXPECT_EQ(s.DispModeBits, 16);
  EXPECT_EQ(s.CaptionFont, "Arial");
  EXPECT_EQ(s.PasswordDelay, 15);
  EXPECT_EQ(s.MouseThreshold, 50);
  const uint8_t zero[16] = {};
  EXPECT_EQ(std::memcmp(s.VideoGUID, zero, 16), 0);
  EXPECT_FALSE(store.HasKey(Hive_CurrentUser, kProductKey));  // reading creates nothing
}

TEST_F(SettingsTest, SystemValuesAndMuteSoundUntilAStoredPlayMusicWins) {
  PutDword(Hive_LocalMachine, kSystemSaverKey, "Password Delay", 3);
  PutDword(Hive_LocalMachine, kSystemSaverKey, "Mouse Threshold", 7);
  PutDword(Hive_LocalMachine, kSystemSaverKey, "Mute Sound", 1);

  SaverSettings muted(store);
  StartUp(muted);
  EXPECT_EQ(muted.PasswordDelay, 3);
  EXPECT_EQ(muted.MouseThreshold, 7);
  EXPECT_EQ(muted.PlayMusic, 0);

  PutProductDword("PlayMusic", 1);
  SaverSettings stored(store);
  StartUp(stored);
  EXPECT_EQ(stored.PlayMusic, 1);

  PutDword(Hive_LocalMachine, kSystemSaverKey, "Mute Sound", 0);
  SaverSettings unmuted(store);
  unmuted.PlayMusic = 1;
  unmuted.ReadSystemValues();
  EXPECT_EQ(unmuted.PlayMusic, 1);
}

TEST_F(SettingsTest, NumbersStoredAsTextFollowTheCLibraryRules) {
  PutProductText("MusicVol", "abc");
  PutProductText("ImageDelay", std::string("7.5\0", 4));
  PutProductText("AvgFps", "12.25 fps");
  PutProductText("DispModeWidth", " 1024x768");
  PutProductText("DispModeHeight", "-5");
  PutProductText("DispModeBits", "99999999999999");  // beyond int: clamped, not wrapped
  SaverSettings s(store);
  s.Load();
  EXPECT_EQ(s.MusicVol, 0);
  EXPECT_FLOAT_EQ(s.ImageDelay, 7.5f);
  EXPECT_FLOAT_EQ(s.AvgFps, 12.25f);
  EXPECT_EQ(s.DispModeWidth, 1024);
  // Then bounded, as every number that drives arithmetic is.
  EXPECT_EQ(s.DispModeHeight, 0);
  EXPECT_EQ(s.DispModeBits, 32);
}

TEST_F(SettingsTest, AbsentValuesKeepTheirFieldsAndNumbersAreBoundedAsRead) {
  PutProductDword("CramSize", 3);
  PutProductDword("CaptionFontSize", 0xFFFFFFF0u);
  PutProductDword("CaptionOrientation", 0xFFFFFFFFu);
  PutProductText("ImageDelay", "1e30");
  PutProductText("AvgFps", "nan");
  SaverSettings s(store);
  s.MipMap = 0;
  s.Load();
  EXPECT_EQ(s.CramSize, 256);
  EXPECT_EQ(s.CaptionFontSize, -16);
  EXPECT_EQ(s.CaptionOrientation, 0);
  EXPECT_FLOAT_EQ(s.ImageDelay, 3600.0f);
  EXPECT_FLOAT_EQ(s.AvgFps, SaverSettings(store).AvgFps);  // no number: left alone
  EXPECT_EQ(s.MipMap, 0);
  EXPECT_EQ(s.MusicVol, 255);
  // The stored values themselves are not touched.
  EXPECT_EQ(Stored("ImageDelay"), "1e30");

  PutProductDword("CaptionFontSize", 1000000);
  PutProductText("ImageDelay", "-inf");
  SaverSettings t(store);
  t.Load();
  EXPECT_EQ(t.CaptionFontSize, 128);
  EXPECT_FLOAT_EQ(t.ImageDelay, 1.0f);
}

TEST_F(SettingsTest, DwordSettingsReadOnlyDwordsOrWholeDecimalTexts) {
  // What "reg add /t REG_SZ /d 0" and .reg files make: text, not four bytes.
  PutProductText("FastMode", std::string("0\0", 2));
  PutProductText("Animate", "0");
  PutProductText("CramSize", " 2048 ");
  PutProductText("CaptionBold", "1");
  PutProductText("MipMap", "yes");         // no number: default stays
  PutProductText("RandomOrder", "1x");     // not a whole number
  store.Put(Hive_CurrentUser, kProductKey, "Crossfade", ValueType_Binary, "\0\0\0\0", 4);
  store.Put(Hive_CurrentUser, kProductKey, "ShowCaptions", ValueType_Dword, "\0\0", 2);
  SaverSettings s(store);
  s.FastMode = 1;
  s.Animate = 1;
  // Values read as absent leave these marks.
  s.MipMap = s.RandomOrder = s.Crossfade = s.ShowCaptions = 5;
  s.Load();
  EXPECT_EQ(s.FastMode, 0);
  EXPECT_EQ(s.Animate, 0);
  EXPECT_EQ(s.CramSize, 2048);
  EXPECT_TRUE(s.CaptionBold);
  EXPECT_EQ(s.MipMap, 5);
  EXPECT_EQ(s.RandomOrder, 5);
  EXPECT_EQ(s.Crossfade, 5);
  EXPECT_EQ(s.ShowCaptions, 5);
}

TEST_F(SettingsTest, SaveWritesNumbersAsZeroPaddedSixtyFourByteTexts) {
  SaverSettings s(store);
  s.ImageDelay = 7.5f;
  s.MusicVol = 42;
  s.Save();
  const std::string delay = Stored("ImageDelay");
  ASSERT_EQ(delay.size(), 64u);
  EXPECT_EQ(StoredType("ImageDelay"), ValueType_String);
  EXPECT_EQ(std::string(delay.c_str()), "7.500000");
  EXPECT_EQ(delay.find_first_not_of('\0', 8), std::string::npos);
  EXPECT_EQ(Stored("MusicVol"), std::string("42") + std::string(62, '\0'));
  EXPECT_EQ(Stored("DispModeWidth").c_str(), std::string("800"));
  EXPECT_EQ(Stored("CaptionFont"), std::string("Arial\0", 6));
  EXPECT_EQ(Stored("CaptionFontSize"), std::string("\xEA\xFF\xFF\xFF", 4));

  SaverSettings back(store);
  back.Load();
  EXPECT_FLOAT_EQ(back.ImageDelay, 7.5f);
  EXPECT_EQ(back.MusicVol, 42);
}

TEST_F(SettingsTest, AnyNonZeroBooleanLoadsTrueAndSavesAsOne) {
  PutProductDword("CaptionItalic", 5);
  PutProductDword("CaptionBold", 0);
  SaverSettings s(store);
  s.Load();
  EXPECT_TRUE(s.CaptionItalic);
  EXPECT_FALSE(s.CaptionBold);
  s.Save();
  EXPECT_EQ(Stored("CaptionItalic"), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(Stored("CaptionBold"), std::string(4, '\0'));
}

TEST_F(SettingsTest, LoadReadsInItsOrderAndTheVideoGuidFromTheMachine) {
  store.Put(Hive_CurrentUser, kProductKey, "MipMap", ValueType_Dword, "\0\0\0\0", 4);
  const uint8_t guid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  store.Put(Hive_LocalMachine, kProductKey, "VideoGUID", ValueType_Binary, guid, 16);
  SaverSettings s(store);
  s.Load();
  const std::vector<std::string> expected = {
      "MipMap", "PlayMusic", "ShuffleMusic", "DebugLog", "BitmapText", "SetAsWallpaper",
      "RandomOrder", "Animate", "Crossfade", "DefaultMusic", "CustomMusic", "FastMode",
      "StretchWallpaper", "ShowSpeedtip", "ShowBugReport", "CrashFlag", "DoChecksum",
      "CriticalError", "BlankAllScreens", "CramImages", "CramSize", "AutoPerformance",
      "ShowCaptions", "CaptionFontSize", "CaptionOrientation", "CaptionItalic", "CaptionBold",
      "MusicVol", "AvgFps", "ImageDelay", "DispModeWidth", "DispModeHeight", "DispModeBits",
      "CaptionFont"};
  EXPECT_EQ(AccessedNames(StoreAccess::Read, Hive_CurrentUser), expected);
  EXPECT_EQ(AccessedNames(StoreAccess::Read, Hive_LocalMachine),
            std::vector<std::string>{"VideoGUID"});
  EXPECT_EQ(std::memcmp(s.VideoGUID, guid, 16), 0);
}

TEST_F(SettingsTest, SaveWritesInItsOrderWithTheRightTypesAndNothingElse) {
  SaverSettings s(store);
  s.Save();
  const std::vector<std::string> dwords = {
      "MipMap", "PlayMusic", "ShuffleMusic", "DebugLog", "BitmapText", "ShowSpeedTip",
      "ShowBugReport", "SetAsWallpaper", "RandomOrder", "Animate", "Crossfade", "DefaultMusic",
      "CustomMusic", "FastMode", "StretchWallpaper", "BlankAllScreens", "CramImages", "CramSize",
      "AutoPerformance", "ShowCaptions", "CaptionFontSize", "CaptionOrientation",
      "CaptionItalic", "CaptionBold"};
  const std::vector<std::string> texts = {"MusicVol", "DispModeWidth", "DispModeHeight",
                                          "DispModeBits", "ImageDelay", "CaptionFont"};
  std::vector<std::string> expected = dwords;
  expected.insert(expected.end(), texts.begin(), texts.end());
  ASSERT_EQ(AccessedNames(StoreAccess::Write, Hive_CurrentUser), expected);
  for (size_t i = 0; i < expected.size(); ++i) {
    const StoreAccess& write = store.Accesses()[i];
    EXPECT_EQ(write.type, i < dwords.size() ? ValueType_Dword : ValueType_String) << write.name;
    EXPECT_EQ(write.path, kProductKey);
  }
}

TEST_F(SettingsTest, BothSpellingsOfTheSpeedTipReachOneValue) {
  PutProductDword("ShowSpeedTip", 0);
  SaverSettings s(store);
  s.Load();
  EXPECT_EQ(s.ShowSpeedTip, 0);
  s.ShowSpeedTip = 1;
  s.Save();
  const StoredValue* value = store.Find(Hive_CurrentUser, kProductKey, "showspeedtip");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->name, "ShowSpeedTip");
  EXPECT_EQ(value->bytes, (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(SettingsTest, SaveThenLoadKeepsEverySavedSetting) {
  SaverSettings saved(store);
  FillSavedFieldsWithNonDefaults(saved);
  saved.Save();
  SaverSettings loaded(store);
  loaded.Load();
  ExpectSameSavedFields(saved, loaded);
}

TEST_F(SettingsTest, CrashValueWritersStoreDwordsAndOnlyCriticalErrorTheRecord) {
  SaverSettings s(store);
  s.WriteCrashFlag(1);
  s.WriteDoChecksum(1);
  s.WriteCriticalError(2);
  EXPECT_EQ(Stored("CrashFlag"), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(Stored("DoChecksum"), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(Stored("CriticalError"), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(StoredType("CriticalError"), ValueType_Dword);
  EXPECT_EQ(s.CrashFlag, 0);
  EXPECT_EQ(s.DoChecksum, 0);
  EXPECT_EQ(s.CriticalError, 2);

  SaverSettings next(store);
  next.Load();
  EXPECT_EQ(next.CrashFlag, 1);
  EXPECT_EQ(next.DoChecksum, 1);
  EXPECT_EQ(next.CriticalError, 2);
}

TEST_F(SettingsTest, WritersFailSilentlyWhenTheKeyCannotBeOpened) {
  store.BlockWrites(Hive_CurrentUser, kProductKey);
  store.BlockWrites(Hive_LocalMachine, kProductKey);
  SaverSettings s(store);
  s.WriteCrashFlag(1);
  s.WriteCriticalError(1);
  s.WriteAvgFps(3.0f);
  s.Save();
  const uint8_t guid[16] = {9};
  EXPECT_FALSE(s.WriteVideoGUID(guid));
  EXPECT_EQ(s.CriticalError, 0);
  EXPECT_TRUE(store.Accesses().empty());
  EXPECT_FALSE(store.HasKey(Hive_CurrentUser, kProductKey));
}

TEST_F(SettingsTest, AvgFpsIsWrittenAsStreamFormattedTextWithoutNul) {
  SaverSettings s(store);
  s.WriteAvgFps(12.3456789f);
  EXPECT_EQ(Stored("AvgFps"), "12.3457");
  EXPECT_EQ(StoredType("AvgFps"), ValueType_String);
  s.WriteAvgFps(100.0f);
  EXPECT_EQ(Stored("AvgFps"), "100");
  s.WriteAvgFps(1234567.0f);
  EXPECT_EQ(Stored("AvgFps"), "1.23457e+06");
}

TEST_F(SettingsTest, TextThatFillsTheWholeReadBufferStillEndsInNul) {
  const std::string full(kMaxStringValueBytes, 'x');
  PutProductText("CaptionFont", full);
  SaverSettings s(store);
  s.Load();
  EXPECT_EQ(s.CaptionFont, full);

  std::string text;
  ASSERT_TRUE(GetStringValue(store, Hive_CurrentUser, kProductKey, "CaptionFont", text));
  EXPECT_EQ(text, full);

  // One byte more does not fit: the value counts as absent.
  PutProductText("CaptionFont", full + "y");
  SaverSettings longer(store);
  longer.Load();
  EXPECT_EQ(longer.CaptionFont, "Arial");
  EXPECT_FALSE(GetStringValue(store, Hive_CurrentUser, kProductKey, "CaptionFont", text));
}

TEST_F(SettingsTest, HelpersWriteTextWithoutNulAndReportAbsentValues) {
  EXPECT_TRUE(SetStringValue(store, Hive_CurrentUser, "Some\\Key", "Name", "text"));
  EXPECT_EQ(store.Find(Hive_CurrentUser, "some\\key", "NAME")->bytes.size(), 4u);
  std::string text;
  EXPECT_TRUE(GetStringValue(store, Hive_CurrentUser, "Some\\Key", "name", text));
  EXPECT_EQ(text, "text");
  EXPECT_FALSE(GetStringValue(store, Hive_CurrentUser, "Some\\Key", "Other", text));
  EXPECT_FALSE(GetStringValue(store, Hive_LocalMachine, "Some\\Key", "Name", text));

  uint32_t value = 7;
  EXPECT_FALSE(GetDwordValue(store, Hive_CurrentUser, "Some\\Key", "Count", value));
  EXPECT_EQ(value, 7u);
  EXPECT_TRUE(SetDwordValue(store, Hive_CurrentUser, "Some\\Key", "Count", 0x01020304));
  EXPECT_TRUE(GetDwordValue(store, Hive_CurrentUser, "Some\\Key", "Count", value));
  EXPECT_EQ(value, 0x01020304u);

  store.BlockWrites(Hive_CurrentUser, "Some\\Key");
  EXPECT_FALSE(SetDwordValue(store, Hive_CurrentUser, "Some\\Key", "Count", 1));
  EXPECT_FALSE(SetStringValue(store, Hive_CurrentUser, "Some\\Key", "Name", "x"));
}

}  // namespace
