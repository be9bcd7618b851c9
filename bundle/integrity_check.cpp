#include "bundle/integrity_check.h"

#include <cstdint>
#include <cstdio>

#include "bundle/crc32.h"
#include "bundle/file_helpers.h"

namespace {

constexpr int kSlotCount = 8;

struct CheckedFile {
  int slot;
  bool inWindowsDir;
  const char* name;
};

const CheckedFile kCheckedFiles[] = {
    {2, false, "images.bdl"},
    {4, true, "ZelvoraPelk.scr"},
    {5, false, "ZelvoraPelk.scr"},
    {6, false, "ZelvoraPelk.exe"},
};

bool ReadSlots(const std::string& path, uint32_t (&slots)[kSlotCount]) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  uint8_t bytes[kSlotCount * 4];
  const size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  if (got != sizeof bytes) return false;
  for (int i = 0; i < kSlotCount; ++i) {
    const uint8_t* b = bytes + 4 * i;
    slots[i] = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  }
  return true;
}

}  // namespace

bool CheckInstalledFiles(const std::string& moduleDir, const std::string& windowsDir) {
  uint32_t slots[kSlotCount];
  if (!ReadSlots(moduleDir + "chk.sum", slots)) return false;
  for (const CheckedFile& file : kCheckedFiles) {
    const std::string path =
        file.inWindowsDir ? windowsDir + PathSeparator() + file.name : moduleDir + file.name;
    if (!FileMatchesCrc(path, slots[file.slot])) return false;
  }
  return true;
}
