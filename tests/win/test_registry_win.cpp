#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "foundation/registry_helpers.h"
#include "foundation/registry_store_win32.h"
#include "foundation/saver_settings.h"
#include "tests/support/settings_samples.h"

namespace {

const char kScratchKey[] = "Software\\PelkSoft\\ZelvoraRegistryTest";

// Every case starts and ends without the product's per-user key, its machine
// VideoGUID and the scratch key, because the Wine prefix outlives the run.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }

  static void Clean() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, "VideoGUID");
      RegCloseKey(key);
    }
  }

  // A value read straight from the registry: its type and bytes.
  struct Raw {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::string bytes;
  };
  static Raw Query(HKEY root, const char* path, const char* name) {
    Raw raw;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return raw;
    char buffer[2048] = {};
    DWORD size = sizeof buffer;
    raw.result = RegQueryValueExA(key, name, nullptr, &raw.type,
                                  reinterpret_cast<BYTE*>(buffer), &size);
    if (raw.result == ERROR_SUCCESS) raw.bytes.assign(buffer, size);
    RegCloseKey(key);
    return raw;
  }
  // Texts come back with a NUL even when none was stored (Wine adds one on
  // writing), so text bytes are compared up to the first NUL.
  static Raw QueryProduct(const char* name) {
    return Query(HKEY_CURRENT_USER, kProductKey, name);
  }

  RegistryStore store;
};

TEST_F(RegistryTest, EverySettingSurvivesTheRealRegistry) {
  SaverSettings saved(store);
  FillSavedFieldsWithNonDefaults(saved);
  saved.Save();
  saved.WriteCrashFlag(1);
  saved.WriteDoChecksum(1);
  saved.WriteCriticalError(2);
  saved.WriteAvgFps(42.5f);
  const uint8_t guid[16] = {0xDE, 0xAD, 0xBE, 0xEF, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0x80};
  ASSERT_TRUE(saved.WriteVideoGUID(guid));

  SaverSettings loaded(store);
  loaded.Load();
  ExpectSameSavedFields(saved, loaded);
  EXPECT_EQ(loaded.CrashFlag, 1);
  EXPECT_EQ(loaded.DoChecksum, 1);
  EXPECT_EQ(loaded.CriticalError, 2);
  EXPECT_FLOAT_EQ(loaded.AvgFps, 42.5f);
  EXPECT_EQ(std::memcmp(loaded.VideoGUID, guid, 16), 0);
}

TEST_F(RegistryTest, SavedValuesHaveTheirTypesAndBytes) {
  SaverSettings s(store);
  s.ImageDelay = 7.5f;
  s.CaptionItalic = true;
  s.Save();

  const Raw delay = QueryProduct("ImageDelay");
  ASSERT_EQ(delay.result, ERROR_SUCCESS);
  EXPECT_EQ(delay.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(delay.bytes.size(), 64u);
  EXPECT_STREQ(delay.bytes.c_str(), "7.500000");

  const Raw italic = QueryProduct("CaptionItalic");
  EXPECT_EQ(italic.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(italic.bytes, std::string("\x01\0\0\0", 4));

  const Raw font = QueryProduct("CaptionFont");
  EXPECT_EQ(font.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(font.bytes, std::string("Arial\0", 6));

  EXPECT_EQ(QueryProduct("ShowSpeedtip").bytes, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(QueryProduct("CrashFlag").result, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(QueryProduct("AvgFps").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, CrashWritersAndAvgFpsWriteTheirOwnValues) {
  SaverSettings s(store);
  s.WriteCrashFlag(1);
  s.WriteDoChecksum(0);
  s.WriteCriticalError(2);
  s.WriteAvgFps(12.3456789f);

  const Raw crash = QueryProduct("CrashFlag");
  EXPECT_EQ(crash.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(crash.bytes, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(QueryProduct("DoChecksum").bytes, std::string(4, '\0'));
  const Raw critical = QueryProduct("CriticalError");
  EXPECT_EQ(critical.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(critical.bytes, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(s.CriticalError, 2);
  EXPECT_EQ(s.CrashFlag, 0);

  const Raw fps = QueryProduct("AvgFps");
  EXPECT_EQ(fps.type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(fps.bytes.c_str(), "12.3457");
}

TEST_F(RegistryTest, LoadWithoutTheKeyLeavesTheDefaults) {
  HKEY key = nullptr;
  ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  SaverSettings defaults(store);
  SaverSettings loaded(store);
  loaded.Load();
  ExpectSameSavedFields(defaults, loaded);
  EXPECT_EQ(loaded.CriticalError, 0);
  EXPECT_FLOAT_EQ(loaded.AvgFps, 100.0f);
  const uint8_t zero[16] = {};
  EXPECT_EQ(std::memcmp(loaded.VideoGUID, zero, 16), 0);
}

TEST_F(RegistryTest, VideoGuidIsBinaryUnderTheMachineKey) {
  SaverSettings s(store);
  const uint8_t guid[16] = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0};
  ASSERT_TRUE(s.WriteVideoGUID(guid));
  const Raw raw = Query(HKEY_LOCAL_MACHINE, kProductKey, "VideoGUID");
  ASSERT_EQ(raw.result, ERROR_SUCCESS);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.bytes, std::string(reinterpret_cast<const char*>(guid), 16));
  EXPECT_EQ(QueryProduct("VideoGUID").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, HelpersAgainstTheRegistry) {
  EXPECT_TRUE(SetStringValue(store, Hive_CurrentUser, kScratchKey, "Text", "abc"));
  const Raw text = Query(HKEY_CURRENT_USER, kScratchKey, "Text");
  EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(text.bytes.c_str(), "abc");

  std::string out;
  EXPECT_TRUE(GetStringValue(store, Hive_CurrentUser, kScratchKey, "TEXT", out));
  EXPECT_EQ(out, "abc");
  EXPECT_FALSE(GetStringValue(store, Hive_CurrentUser, kScratchKey, "Missing", out));

  uint32_t value = 0;
  EXPECT_TRUE(SetDwordValue(store, Hive_CurrentUser, kScratchKey, "Number", 0xA1B2C3D4u));
  EXPECT_TRUE(GetDwordValue(store, Hive_CurrentUser, kScratchKey, "number", value));
  EXPECT_EQ(value, 0xA1B2C3D4u);
  EXPECT_FALSE(GetDwordValue(store, Hive_CurrentUser, kScratchKey, "Missing", value));

  // A text whose NUL is the last byte of the read buffer comes back whole; a
  // longer one does not fit and counts as absent.
  const std::string longest(kMaxStringValueBytes - 1, 'q');
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegSetValueExA(key, "Longest", 0, REG_SZ, reinterpret_cast<const BYTE*>(longest.c_str()),
                 kMaxStringValueBytes);
  RegSetValueExA(key, "TooLong", 0, REG_SZ, reinterpret_cast<const BYTE*>((longest + "q").c_str()),
                 kMaxStringValueBytes + 1);
  RegCloseKey(key);
  EXPECT_TRUE(GetStringValue(store, Hive_CurrentUser, kScratchKey, "Longest", out));
  EXPECT_EQ(out, longest);
  EXPECT_FALSE(GetStringValue(store, Hive_CurrentUser, kScratchKey, "TooLong", out));
}

}  // namespace
