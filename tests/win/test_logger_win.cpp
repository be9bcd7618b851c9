#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "foundation/logger.h"
#include "foundation/shared_file.h"

namespace {

std::string TempLogPath(const char* name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name + std::to_string(GetCurrentProcessId()) + ".txt";
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Another process's view of the log: read and write access, sharing both.
HANDLE OpenForeign(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(LoggerWin, TextModeWritesCrLfAndStartsAFreshFile) {
  const std::string path = TempLogPath("zv_log_crlf");
  std::ofstream(path, std::ios::binary) << "older run\r\n";
  {
    Logger log(path);
    log.sourceFile = ".\\Minimal";
    log.sourceLine = 42;
    log.Write("entry", kLogInfo);
    log.WriteRaw("raw\n");
  }
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.find("older run"), std::string::npos);
  EXPECT_EQ(bytes.rfind(std::string(46, '-') + " Log begins on ", 0), 0u);
  EXPECT_NE(bytes.find("\r\nI      Minimal[0042]"), std::string::npos);
  EXPECT_NE(bytes.find(" entry\r\nraw\r\n" + std::string(47, '-') + " Log ends on "),
            std::string::npos);
  ASSERT_GE(bytes.size(), 10u);
  EXPECT_EQ(bytes.substr(bytes.size() - 10), "\r\n\r\n\r\n\r\n\r\n");
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    ASSERT_GT(at, 0u);
    EXPECT_EQ(bytes[at - 1], '\r') << "bare line feed at " << at;
  }
  EXPECT_TRUE(DeleteFileAt(path.c_str()));
  EXPECT_FALSE(DeleteFileAt(path.c_str()));
}

TEST(LoggerWin, AppendsWhileAnotherHandleReadsAndWrites) {
  const std::string path = TempLogPath("zv_log_shared");
  {
    Logger log(path);
    HANDLE other = OpenForeign(path);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    log.Write("while shared", kLogInfo);
    char buffer[4096] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(other, buffer, sizeof(buffer) - 1, &got, nullptr));
    EXPECT_NE(std::string(buffer, got).find("while shared\r\n"), std::string::npos);
    CloseHandle(other);
  }
  DeleteFileAt(path.c_str());
}

TEST(LoggerWin, SharedFileAdmitsOtherReadersAndWriters) {
  const std::string path = TempLogPath("zv_shared_open");
  std::FILE* mine = OpenSharedFile(path.c_str(), "a");
  ASSERT_NE(mine, nullptr);
  std::fputs("ours\n", mine);
  std::fflush(mine);
  HANDLE other = OpenForeign(path);
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  std::fclose(mine);
  EXPECT_EQ(ReadBytes(path), "ours\r\n");
  DeleteFileAt(path.c_str());
}

}  // namespace
