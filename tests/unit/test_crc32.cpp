#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "bundle/crc32.h"

namespace {

std::string WriteTempFile(const std::vector<uint8_t>& bytes) {
  char path[] = "/tmp/zv_crc_XXXXXX";
  const int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
  return path;
}

TEST(Crc32, StandardCheckValueAndChaining) {
  const char digits[] = "123456789";
  EXPECT_EQ(CCrc32Static::Compute(digits, 9), 0xCBF43926u);
  EXPECT_EQ(CCrc32Static::Compute(digits, 0), 0u);
  EXPECT_EQ(CCrc32Static::Update(CCrc32Static::Compute(digits, 4), digits + 4, 5), 0xCBF43926u);
  EXPECT_EQ(CCrc32Static::Compute("a", 1), 0xE8B7BE43u);
}

TEST(Crc32, FileCrcReadsEveryBlockOfALargeFile) {
  std::vector<uint8_t> bytes(3 * 4096 + 123);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
  const std::string path = WriteTempFile(bytes);
  const FileCrcResult result = FileCrc32(path);
  EXPECT_EQ(result.error, 0u);
  EXPECT_EQ(result.crc, CCrc32Static::Compute(bytes.data(), bytes.size()));
  EXPECT_TRUE(FileMatchesCrc(path, result.crc));
  EXPECT_FALSE(FileMatchesCrc(path, result.crc ^ 1));
  std::remove(path.c_str());
}

TEST(Crc32, MissingFileOrFolderGivesAnErrorAndNeverMatches) {
  EXPECT_NE(FileCrc32("/tmp/zv_no_such_file_here").error, 0u);
  EXPECT_FALSE(FileMatchesCrc("/tmp/zv_no_such_file_here", 0));
  EXPECT_NE(FileCrc32("/tmp").error, 0u);
  EXPECT_FALSE(FileMatchesCrc("/tmp", 0));
}

}  // namespace
