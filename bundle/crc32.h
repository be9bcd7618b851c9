// CRC-32 as zip and zlib compute it (IEEE 802.3: reflected, polynomial
// 0xEDB88320, initial value and final exclusive-or 0xFFFFFFFF), and the file
// CRC the integrity check compares with chk.sum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CCrc32Static {
 public:
  virtual ~CCrc32Static() = default;

  // Continues a finished CRC over more bytes: start from 0, and
  // Update(Update(0, a), b) equals the CRC of a followed by b.
  static uint32_t Update(uint32_t crc, const void* data, size_t size);
  // The CRC of one whole buffer.
  static uint32_t Compute(const void* data, size_t size) { return Update(0, data, size); }
};

struct FileCrcResult {
  uint32_t error = 0;  // 0, or the system's code for why the file did not open
  uint32_t crc = 0;    // meaningful only when error is 0
};

// Reads the whole file in 4096-byte blocks. A read error part-way through ends
// the loop; the result is then error 0 and the CRC of what was read.
FileCrcResult FileCrc32(const std::string& path);
// True only when the file could be read and its CRC equals `expected`.
bool FileMatchesCrc(const std::string& path, uint32_t expected);
