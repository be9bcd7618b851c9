#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bundle/crc32.h"
#include "bundle/file_helpers.h"
#include "bundle/integrity_check.h"
#include "tools/check_sum_file.h"

namespace {

namespace fs = std::filesystem;

// A fake installation: a program folder with chk.sum and a Windows folder.
class IntegrityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zv_integrity_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    moduleDir = root + "/program/";
    windowsDir = root + "/windows";
    fs::create_directories(moduleDir);
    fs::create_directories(windowsDir);
    slots[2] = Write(moduleDir + "images.bdl", std::string(10000, 'b'));
    slots[4] = Write(windowsDir + "/ZelvoraPelk.scr", "installed saver");
    slots[5] = Write(moduleDir + "ZelvoraPelk.scr", "saver beside the program");
    slots[6] = Write(moduleDir + "ZelvoraPelk.exe", "program");
  }
  void TearDown() override { fs::remove_all(root); }

  static uint32_t Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return CCrc32Static::Compute(bytes.data(), bytes.size());
  }
  // chk.sum with the slots, cut or extended to `size` bytes.
  void WriteChecksums(size_t size = 32) {
    std::string bytes;
    for (uint32_t slot : slots)
      for (int b = 0; b < 4; ++b) bytes += static_cast<char>(slot >> (8 * b));
    bytes.resize(size, '\x5A');
    Write(moduleDir + "chk.sum", bytes);
  }
  bool Check() { return CheckInstalledFiles(moduleDir, windowsDir); }

  std::string root, moduleDir, windowsDir;
  uint32_t slots[8] = {};
};

TEST_F(IntegrityTest, IntactInstallationPasses) {
  WriteChecksums();
  EXPECT_TRUE(Check());
}

// The release's chk.sum comes from our own writer: the saver's check must
// accept what it writes, and only that.
TEST_F(IntegrityTest, TheWrittenChecksumFilePassesTheCheck) {
  const CheckSumFiles files = {moduleDir + "images.bdl", windowsDir + "/ZelvoraPelk.scr",
                               moduleDir + "ZelvoraPelk.scr", moduleDir + "ZelvoraPelk.exe"};
  std::string error;
  ASSERT_TRUE(WriteCheckSumFile(moduleDir + "chk.sum", files, error)) << error;
  EXPECT_EQ(fs::file_size(moduleDir + "chk.sum"), 32u);
  EXPECT_TRUE(Check());
  Write(moduleDir + "images.bdl", std::string(10000, 'c'));
  EXPECT_FALSE(Check());

  fs::remove(moduleDir + "chk.sum");
  CheckSumFiles missing = files;
  missing.saverExe = moduleDir + "absent.exe";
  EXPECT_FALSE(WriteCheckSumFile(moduleDir + "chk.sum", missing, error));
  EXPECT_NE(error.find("absent.exe"), std::string::npos);
  EXPECT_FALSE(fs::exists(moduleDir + "chk.sum"));
}

TEST_F(IntegrityTest, MissingOrShortChecksumFileFails) {
  EXPECT_FALSE(Check());
  WriteChecksums(28);
  EXPECT_FALSE(Check());
  WriteChecksums(0);
  EXPECT_FALSE(Check());
}

TEST_F(IntegrityTest, LongerChecksumFileIsReadAsItsFirst32Bytes) {
  WriteChecksums(36);
  EXPECT_TRUE(Check());
}

TEST_F(IntegrityTest, ReservedSlotsAreNotChecked) {
  slots[0] = 0x11111111;  // the two library DLLs are gone; nothing to compare
  slots[1] = 0x22222222;
  slots[3] = 0x33333333;
  slots[7] = 0x77777777;
  WriteChecksums();
  EXPECT_TRUE(Check());
}

TEST_F(IntegrityTest, ChangedByteInTheBundleFails) {
  WriteChecksums();
  std::string bundle(10000, 'b');
  bundle[5000] = 'c';
  Write(moduleDir + "images.bdl", bundle);
  EXPECT_FALSE(Check());
}

TEST_F(IntegrityTest, EachCheckedFileMissingFails) {
  WriteChecksums();
  for (const std::string& path :
       {windowsDir + "/ZelvoraPelk.scr", moduleDir + "ZelvoraPelk.scr",
        moduleDir + "ZelvoraPelk.exe", moduleDir + "images.bdl"}) {
    const std::string kept = path + ".kept";
    fs::rename(path, kept);
    EXPECT_FALSE(Check()) << path;
    fs::rename(kept, path);
  }
  EXPECT_TRUE(Check());
}

TEST_F(IntegrityTest, WrongSlotForAFileFails) {
  std::swap(slots[5], slots[6]);
  WriteChecksums();
  EXPECT_FALSE(Check());
}

TEST(FileHelpers, FileExistsForFilesAndFolders) {
  char pattern[] = "/tmp/zv_exists_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  const std::string file = folder + PathSeparator() + "a.txt";
  EXPECT_TRUE(FileExists(folder));
  EXPECT_FALSE(FileExists(file));
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file));
  fs::remove_all(folder);
  EXPECT_FALSE(FileExists(folder));
}

}  // namespace
