// The settings dialog's tables and its web pages: each toggle stands for
// its own setting (one of them inverted), the controls lie on the skin
// without covering each other, and the page addresses come from the
// configured server.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "foundation/memory_store.h"
#include "foundation/saver_settings.h"
#include "foundation/web_server.h"
#include "ui/settings_tables.h"

namespace {

TEST(SettingsTables, EachToggleReadsAndStoresItsOwnSetting) {
  MemoryStore store;
  std::set<int> ids;
  for (int i = 0; i < kSettingsToggleCount; ++i) {
    const ToggleEntry& entry = kSettingsToggles[i];
    EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
    // Checking one toggle changes that one setting only.
    SaverSettings settings(store);
    for (int j = 0; j < kSettingsToggleCount; ++j) StoreToggle(settings, kSettingsToggles[j].setting, false);
    StoreToggle(settings, entry.setting, true);
    for (int j = 0; j < kSettingsToggleCount; ++j)
      EXPECT_EQ(IsToggleChecked(settings, kSettingsToggles[j].setting), i == j) << entry.id << " " << j;
  }
}

TEST(SettingsTables, HighestDetailIsCheckedWhenImagesAreNotCrammed) {
  MemoryStore store;
  SaverSettings settings(store);
  settings.CramImages = 1;
  EXPECT_FALSE(IsToggleChecked(settings, Toggle_HighestDetail));
  StoreToggle(settings, Toggle_HighestDetail, true);
  EXPECT_EQ(settings.CramImages, 0);
  StoreToggle(settings, Toggle_SetAsWallpaper, true);
  EXPECT_EQ(settings.SetAsWallpaper, 1);
}

TEST(SettingsTables, ControlsLieOnTheSkinWithoutOverlapping) {
  std::vector<SkinRect> rects;
  for (int i = 0; i < kSettingsButtonCount; ++i) rects.push_back(kSettingsButtons[i].rect);
  for (int i = 0; i < kSettingsToggleCount; ++i) rects.push_back(kSettingsToggles[i].rect);
  rects.insert(rects.end(), {kVolumeSliderRect, kDelaySliderRect, kModeSliderRect, kModeListRect});
  for (size_t i = 0; i < rects.size(); ++i) {
    const SkinRect& a = rects[i];
    EXPECT_GE(a.x, 0);
    EXPECT_GE(a.y, 0);
    EXPECT_LE(a.x + a.width, 640) << i;
    EXPECT_LE(a.y + a.height, 458) << i;
    for (size_t j = i + 1; j < rects.size(); ++j) {
      const SkinRect& b = rects[j];
      const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                         b.y + b.height <= a.y;
      EXPECT_TRUE(apart) << i << " overlaps " << j;
    }
  }
  EXPECT_EQ(AboutTooltip(), "About Zelvora: Quorrin1.071");
}

TEST(WebServer, TheUsersServerBeforeAnAdministratorsOneBeforeTheBuiltInOne) {
  MemoryStore store;
  EXPECT_EQ(ReadWebServer(store), kDefaultWebServer);
  const char machine[] = "machine.example";
  store.Put(Hive_LocalMachine, kProductKey, "WebServer", ValueType_String, machine, sizeof machine);
  EXPECT_EQ(ReadWebServer(store), "machine.example");
  // Once every user may write the machine's key, its value is anyone's.
  store.OpenToEveryone(Hive_LocalMachine, kProductKey);
  EXPECT_EQ(ReadWebServer(store), kDefaultWebServer);
  const char user[] = "127.0.0.1:8080";
  store.Put(Hive_CurrentUser, kProductKey, "WebServer", ValueType_String, user, sizeof user);
  EXPECT_EQ(ReadWebServer(store), "127.0.0.1:8080");

  EXPECT_EQ(WebPageAddress("127.0.0.1:8080", kSupportPagePath), "http://127.0.0.1:8080/support/");
  EXPECT_EQ(WebPageAddress("host", kHomePagePath), "http://host/");
  EXPECT_EQ(WebPageAddress("host", SpecialsPagePath()),
            "http://host/specials.htm?appName=Zelvora: Quorrin&version=1.071");
}

TEST(WebServer, HostAndPortAreSplitWithEightyByDefault) {
  const auto split = [](const std::string& server) {
    const WebServerAddress address = SplitWebServer(server);
    return address.host + " " + std::to_string(address.port);
  };
  EXPECT_EQ(split("www.quorrin.example"), "www.quorrin.example 80");
  EXPECT_EQ(split("127.0.0.1:8080"), "127.0.0.1 8080");
  EXPECT_EQ(split("HTTP://host:81"), "host 81");
  EXPECT_EQ(split("host:"), "host 80");
  EXPECT_EQ(split("host:0"), "host 80");
  EXPECT_EQ(split("host:65536"), "host 80");
  EXPECT_EQ(split("host:8o"), "host 80");
  EXPECT_EQ(split("host:123456"), "host 80");
}

TEST(WebServer, OnlyWebAddressesFromAReplyMayBeOpened) {
  EXPECT_TRUE(IsWebAddress("http://www.quorrin.example/download"));
  EXPECT_TRUE(IsWebAddress("HTTPS://host/"));
  EXPECT_FALSE(IsWebAddress("C:\\Windows\\system32\\calc.exe"));
  EXPECT_FALSE(IsWebAddress("file:///C:/x.exe"));
  EXPECT_FALSE(IsWebAddress(" http://host/"));
  EXPECT_FALSE(IsWebAddress("http:/"));
  EXPECT_FALSE(IsWebAddress(""));
}

}  // namespace
