#include "bundle/crc32.h"

#include <array>

#include "bundle/file_helpers.h"

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

constexpr size_t kBlockSize = 4096;

}  // namespace

uint32_t CCrc32Static::Update(uint32_t crc, const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint32_t c = crc ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = kTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

FileCrcResult FileCrc32(const std::string& path) {
  FileCrcResult result;
  SequentialFile file;
  result.error = file.Open(path);
  if (result.error != 0) return result;
  uint8_t block[kBlockSize];
  size_t got = 0;
  while (file.Read(block, sizeof block, got) && got > 0)
    result.crc = CCrc32Static::Update(result.crc, block, got);
  return result;
}

bool FileMatchesCrc(const std::string& path, uint32_t expected) {
  const FileCrcResult result = FileCrc32(path);
  return result.error == 0 && result.crc == expected;
}
