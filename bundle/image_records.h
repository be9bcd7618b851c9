// The two per-photograph records that "images.bdl" carries beside the
// photographs, one small file each (integers little-endian):
//   "dims": i32 width, i32 height, photograph name NUL, then optionally
//           u8 horizontalOnly, u8 verticalOnly (the zoom-centre limits);
//   "caps": three u16 values, photograph name NUL, caption text NUL (line
//           breaks allowed).
// Records come from a file anyone can replace, so the parsers never read
// past the record and reject one whose texts lack their NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class VFFILECAT;

struct ImageDims {
  int32_t width = 0;
  int32_t height = 0;
  std::string name;
  uint8_t horizontalOnly = 0;
  uint8_t verticalOnly = 0;
};

struct ImageCaption {
  uint16_t values[3] = {0, 0, 0};  // carried and kept, never drawn
  std::string name;
  std::string text;
};

// False for a record shorter than its fixed part or whose name has no NUL
// inside the record. The flags are read only from bytes the record holds:
// a record ending at the name's NUL gives both 0, one with a single byte
// after it gives that byte as horizontalOnly and verticalOnly 0.
bool ParseImageDims(const uint8_t* data, size_t size, ImageDims& out);
// False for a record shorter than the three values or whose name or text
// has no NUL inside the record.
bool ParseImageCaption(const uint8_t* data, size_t size, ImageCaption& out);

// Record bytes for the bundle tool; the flag bytes only with `withFlags`.
// False when a text contains NUL (it would end the field early).
bool SerializeImageDims(const ImageDims& dims, bool withFlags, std::vector<uint8_t>& out);
bool SerializeImageCaption(const ImageCaption& caption, std::vector<uint8_t>& out);

// Every file of a "dims" or "caps" category in directory order, loading each
// through the category; files that fail to load or parse are left out.
std::vector<ImageDims> ReadImageDimsTable(VFFILECAT& category);
std::vector<ImageCaption> ReadImageCaptionTable(VFFILECAT& category);

// The lookup rule for both tables: the first entry whose name equals the
// photograph's file name exactly (case-sensitive, same length); without one,
// entry 0; -1 only for an empty table.
template <typename Record>
int FindImageRecordIndex(const std::vector<Record>& table, const std::string& photographName) {
  if (table.empty()) return -1;
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].name == photographName) return static_cast<int>(i);
  }
  return 0;
}

// The entry of the rule above, or null for an empty table.
template <typename Record>
const Record* FindImageRecord(const std::vector<Record>& table, const std::string& photographName) {
  const int index = FindImageRecordIndex(table, photographName);
  return index < 0 ? nullptr : &table[static_cast<size_t>(index)];
}
