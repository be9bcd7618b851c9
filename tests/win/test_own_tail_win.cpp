// The build appends a small bundle (category "tailtest") to this very test
// program, as it appends the skin to the screen saver: the running program
// opens its own module file, which Windows keeps open for execution.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bundle/bundle.h"

namespace {

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// Where the image's last section ends in the file: an appended bundle must
// lie beyond it, or it would overwrite part of the program.
uint32_t EndOfSections() {
  const auto* base = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  uint32_t end = 0;
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    end = std::max<uint32_t>(end, section[i].PointerToRawData + section[i].SizeOfRawData);
  }
  return end;
}

std::string Text(VFBUNDLE& bundle, const char* name) {
  const uint8_t* data = bundle.LoadFile("tailtest", name);
  return data == nullptr ? "(not loaded)"
                         : std::string(reinterpret_cast<const char*>(data), bundle.GetFileSize("tailtest", name));
}

TEST(OwnTailWin, TheRunningProgramReadsTheBundleAtTheEndOfItsOwnFile) {
  const std::string path = OwnPath();
  ASSERT_FALSE(path.empty());
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path.c_str())) << path;
  ASSERT_EQ(1, bundle.categories.Count());
  VFFILECAT* category = bundle.FindCategory("TailTest");
  ASSERT_NE(nullptr, category);
  ASSERT_EQ(2, category->files.Count());

  const VFFILE* first = category->files.FirstNode()->data;
  EXPECT_EQ("greeting.txt", first->name);
  EXPECT_GE(first->offset, EndOfSections());
  EXPECT_EQ(static_cast<int64_t>(first->offset) + first->size + 1, bundle.directoryOffset);

  EXPECT_EQ("read from my own tail\n", Text(bundle, "greeting.txt"));
  EXPECT_EQ("2", Text(bundle, "second.txt"));
}

}  // namespace
