#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "bundle/crc32.h"
#include "bundle/file_helpers.h"
#include "bundle/integrity_check.h"

namespace {

// A fresh folder under the temporary folder, ending in a separator.
std::string MakeTempFolder(const char* name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

uint32_t WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return CCrc32Static::Compute(bytes.data(), bytes.size());
}

TEST(FileHelpersWin, FileCrcMatchesTheBufferCrcAndReportsSystemErrors) {
  const std::string folder = MakeTempFolder("zv_crc");
  const std::string path = folder + "big.bin";
  std::string bytes(2 * 4096 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13);
  const uint32_t crc = WriteFile(path, bytes);

  const FileCrcResult result = FileCrc32(path);
  EXPECT_EQ(result.error, 0u);
  EXPECT_EQ(result.crc, crc);
  EXPECT_EQ(FileCrc32(folder + "missing.bin").error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(FileCrc32(folder).error, 0u);

  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(FileHelpersWin, ExistenceSeparatorAndWindowsFolder) {
  const std::string windows = WindowsDirectory();
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(FileExists(windows));
  EXPECT_TRUE(FileExists(windows + PathSeparator() + "system32"));
  EXPECT_FALSE(FileExists(windows + "\\zv_no_such_file.txt"));
  EXPECT_EQ(PathSeparator(), '\\');
}

TEST(FileHelpersWin, IntegrityCheckWithWindowsPaths) {
  const std::string module = MakeTempFolder("zv_module");
  const std::string windowsFolder = MakeTempFolder("zv_windows");
  const std::string windows = windowsFolder.substr(0, windowsFolder.size() - 1);
  uint32_t slots[8] = {};
  slots[2] = WriteFile(module + "images.bdl", std::string(5000, 'i'));
  slots[4] = WriteFile(windows + "\\ZelvoraPelk.scr", "installed");
  slots[5] = WriteFile(module + "ZelvoraPelk.scr", "beside");
  slots[6] = WriteFile(module + "ZelvoraPelk.exe", "program");
  std::string sums(reinterpret_cast<const char*>(slots), sizeof slots);
  WriteFile(module + "chk.sum", sums);

  EXPECT_TRUE(CheckInstalledFiles(module, windows));
  DeleteFileA((windows + "\\ZelvoraPelk.scr").c_str());
  EXPECT_FALSE(CheckInstalledFiles(module, windows));

  for (const char* name : {"images.bdl", "ZelvoraPelk.scr", "ZelvoraPelk.exe", "chk.sum"})
    DeleteFileA((module + name).c_str());
  RemoveDirectoryA(module.c_str());
  RemoveDirectoryA(windowsFolder.c_str());
}

}  // namespace
