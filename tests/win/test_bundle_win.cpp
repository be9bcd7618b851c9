#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/bundle_writer.h"

namespace {

const char kChildVariable[] = "ZV_OWN_TAIL_OFFSET";

std::vector<uint8_t> B(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string Text(const uint8_t* data, size_t size) {
  return data == nullptr ? "<null>" : std::string(reinterpret_cast<const char*>(data), size);
}

std::string TempFile(const char* name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Runs a copy of this test program with a skin bundle appended, filtered to
// this test; the copy then reads its own tail while it runs, as the saver
// reads its skin.
TEST(BundleWin, ReadsTheBundleAppendedToTheRunningExecutable) {
  if (const char* expected = std::getenv(kChildVariable)) {
    VFBUNDLE self;
    ASSERT_TRUE(self.Open(OwnPath()));
    VFFILECAT* skin = self.FindCategory("skin");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(std::to_string(skin->FindFile("menuskin.jpg")->offset), expected);
    EXPECT_EQ(Text(self.LoadFile("skin", "MENUSKIN.JPG"), 12), "skin picture");
    return;
  }

  const std::string copy = TempFile("tail_test.exe");
  ASSERT_TRUE(CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE));
  WIN32_FILE_ATTRIBUTE_DATA info = {};
  ASSERT_TRUE(GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &info));
  BundleWriter writer;
  writer.AddCategory("skin");
  writer.AddFile("menuskin.jpg", B("skin picture"));
  writer.AddFile("filmstrip.jpg", B("strip"));
  ASSERT_TRUE(writer.AppendTo(copy));

  SetEnvironmentVariableA(kChildVariable, std::to_string(info.nFileSizeLow).c_str());
  std::string command =
      "\"" + copy + "\" --gtest_filter=BundleWin.ReadsTheBundleAppendedToTheRunningExecutable";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(copy.c_str());
  EXPECT_EQ(exitCode, 0u);
}

// The C runtime's long is 32 bits here: offsets past 2 GiB need the 64-bit
// seeks. The file is sparse, so this costs no disk.
TEST(BundleWin, SeeksPastTwoGigabytes) {
  const std::string path = TempFile("big.bdl");
  const int64_t base = (int64_t{5} << 29) + 3;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD ignored = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = base;
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(sized);

  BundleWriter writer;
  writer.AddCategory("music");
  writer.AddFile("far.mp3", B("far away"));
  ASSERT_TRUE(writer.AppendTo(path));
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path));
  EXPECT_EQ(bundle.directoryOffset, base + 8);
  EXPECT_EQ(Text(bundle.LoadFile("music", "far.mp3"), 8), "far away");
  bundle.Close();
  DeleteFileA(path.c_str());
}

}  // namespace
