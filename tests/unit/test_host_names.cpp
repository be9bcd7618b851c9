#include <gtest/gtest.h>

#include <string>

#include "host/os_version.h"
#include "host/user_files.h"

namespace {

TEST(OsVersion, Classification) {
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_Win32s, 3, 10), Os_Win31);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_Windows9x, 4, 0), Os_Win95);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_Windows9x, 4, 10), Os_Win98);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_Windows9x, 4, 3), Os_Win98);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_Windows9x, 4, 90), Os_WinMe);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 3, 51), Os_WinNT);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 4, 0), Os_WinNT);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 5, 0), Os_Win2000);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 5, 1), Os_WinXP);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 5, 2), Os_Win2003);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 6, 1), Os_Unknown);
  EXPECT_EQ(ClassifyOsVersion(OsPlatform_WindowsNT, 10, 0), Os_Unknown);
  EXPECT_EQ(ClassifyOsVersion(3, 5, 1), Os_Unknown);

  EXPECT_STREQ(OsVersionName(Os_WinXP), "Windows XP");
  EXPECT_STREQ(OsVersionName(Os_Unknown), "Unknown");
  EXPECT_STREQ(OsVersionName(0), "Unsupported");
  EXPECT_STREQ(OsVersionName(99), "Unknown");

  EXPECT_TRUE(IsWindows2000OrLater(OsPlatform_WindowsNT, 5));
  EXPECT_FALSE(IsWindows2000OrLater(OsPlatform_WindowsNT, 4));
  EXPECT_FALSE(IsWindows2000OrLater(OsPlatform_Windows9x, 5));
}

TEST(UserFiles, NamesFromTheLoginName) {
  EXPECT_EQ(PlaylistFileName("anna", true), "anna.M3U");
  EXPECT_EQ(WallpaperFileName("anna", true), "anna_orbex.bmp");
  EXPECT_EQ(PlaylistFileName("", false), "Orbex.M3U");
  EXPECT_EQ(WallpaperFileName("", false), "orbex.bmp");
  // Characters that no file name may hold become "_".
  EXPECT_EQ(PlaylistFileName("DOM\\a:b*c?\"<>|/\t", true), "DOM_a_b_c_______.M3U");
  EXPECT_EQ(WallpaperFileName("ren\xC3\xA9", true), "ren\xC3\xA9_orbex.bmp");
}

TEST(UserFiles, OnlyProductDataFoldersMayBeDeleted) {
  const char* accepted[] = {
      "C:\\users\\anna\\AppData\\Roaming\\PelkSoft\\Zelvora\\",
      "C:\\users\\anna\\AppData\\Roaming\\PelkSoft\\Zelvora",
      "d:\\profiles\\x\\pelksoft\\ZELVORA",
      "C:\\PelkSoft\\Zelvora",
      "\\\\server\\share\\PelkSoft\\Zelvora\\",
  };
  for (const char* path : accepted) EXPECT_TRUE(IsProductDataFolder(path)) << path;

  const char* refused[] = {
      "",
      "C:\\",
      "C:\\Windows",
      "C:\\Important",
      "C:\\users\\anna\\AppData\\Roaming\\PelkSoft",
      "C:\\users\\anna\\AppData\\Roaming\\PelkSoft\\Zelvora\\Extra",
      "C:\\Important\\PelkSoft\\Zelvora\\..\\..",
      "C:\\x\\..\\PelkSoft\\Zelvora",
      "C:\\x\\.\\PelkSoft\\Zelvora",
      "PelkSoft\\Zelvora",
      "\\PelkSoft\\Zelvora",
      "C:PelkSoft\\Zelvora",
      "C:\\x\\PelkSoft\\Zelvora\\\\",
      "\\\\server\\PelkSoft\\Zelvora",
      "C:\\x\\NotPelkSoft\\Zelvora",
      "C:\\x\\PelkSoft\\Zelvora2",
  };
  for (const char* path : refused) EXPECT_FALSE(IsProductDataFolder(path)) << path;
}

}  // namespace
