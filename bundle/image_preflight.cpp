#include "bundle/image_preflight.h"

#include <algorithm>
#include <cstring>

#include "bundle/byte_order.h"
#include "bundle/jpeg_reader.h"

namespace {

uint16_t ReadBe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint32_t ReadBe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

// The rows as the header describes them, whatever it says about compression:
// the decoder reads some odd compression values as plain rows.
bool BitmapRowsPresent(const uint8_t* data, size_t size) {
  if (size < 26) return false;
  const uint32_t pixelOffset = ReadLE32(data + 10);
  const uint32_t headerSize = ReadLE32(data + 14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bitsPerPixel = 0;
  if (headerSize == 12) {  // the old OS/2 header with 16-bit sizes
    width = ReadLE16(data + 18);
    height = ReadLE16(data + 20);
    bitsPerPixel = ReadLE16(data + 24);
  } else {
    if (size < 30) return false;
    width = static_cast<int32_t>(ReadLE32(data + 18));
    height = static_cast<int32_t>(ReadLE32(data + 22));
    bitsPerPixel = ReadLE16(data + 28);
  }
  if (height < 0) height = -height;  // rows stored top down
  // Beyond the decoder's own limit, and small enough for the sums below.
  if (width <= 0 || height == 0 || width > (1 << 24) || height > (1 << 24)) return false;
  if (bitsPerPixel == 0) bitsPerPixel = 1;
  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  // The rows cannot begin inside the headers, whatever the offset says.
  const uint64_t firstRow = std::max<uint64_t>(pixelOffset, uint64_t{14} + headerSize);
  return firstRow + rowBytes * static_cast<uint64_t>(height) <= size;
}

// What the segments so far have defined. The decoder's tables start as
// uninitialised memory, and a scan that uses one never defined reads and
// indexes with garbage.
struct JpegState {
  bool dcTable[4] = {};
  bool acTable[4] = {};
  bool quantTable[4] = {};
  bool frameSeen = false;
  bool progressive = false;
  int components = 0;
  uint8_t componentQuant[4] = {};
};

// DHT: class 0 or 1, slot 0 to 3, at most 256 codes (more make the decoder
// write past its tables), and the code values all inside the segment.
bool ReadHuffmanTables(const uint8_t* segment, size_t length, JpegState& state) {
  size_t at = 0;
  while (at < length) {
    const uint8_t kind = segment[at];
    if (kind >> 4 > 1 || (kind & 15) > 3 || length - at < 17) return false;
    size_t codes = 0;
    for (int i = 1; i <= 16; ++i) codes += segment[at + i];
    if (codes > 256 || length - at - 17 < codes) return false;
    (kind >> 4 ? state.acTable : state.dcTable)[kind & 15] = true;
    at += 17 + codes;
  }
  return true;
}

// DQT: precision 0 or 1, slot 0 to 3, whole tables.
bool ReadQuantTables(const uint8_t* segment, size_t length, JpegState& state) {
  size_t at = 0;
  while (at < length) {
    const uint8_t kind = segment[at];
    const size_t tableBytes = kind >> 4 ? 128 : 64;
    if (kind >> 4 > 1 || (kind & 15) > 3 || length - at - 1 < tableBytes) return false;
    state.quantTable[kind & 15] = true;
    at += 1 + tableBytes;
  }
  return true;
}

// SOF0 to SOF2, the frames the decoder knows: one frame, 1 to 4 components.
bool ReadFrameHeader(uint8_t marker, const uint8_t* segment, size_t length, JpegState& state) {
  if (state.frameSeen || length < 6) return false;
  const int components = segment[5];
  if (components < 1 || components > 4 || length < 6 + 3 * static_cast<size_t>(components))
    return false;
  for (int i = 0; i < components; ++i) {
    state.componentQuant[i] = segment[6 + 3 * i + 2];
    if (state.componentQuant[i] > 3) return false;
  }
  state.frameSeen = true;
  state.progressive = marker == 0xC2;
  state.components = components;
  return true;
}

// SOS: every table the scan will use is defined by now, as the decoder uses
// them (a progressive scan takes DC tables for a first DC pass and AC tables
// for AC passes only).
bool ReadScanHeader(const uint8_t* segment, size_t length, const JpegState& state) {
  if (!state.frameSeen || length < 1) return false;
  const size_t components = segment[0];
  if (components < 1 || components > 4 || length < 4 + 2 * components) return false;
  const uint8_t spectralStart = segment[1 + 2 * components];
  const uint8_t approximationHigh = segment[3 + 2 * components] >> 4;
  for (size_t i = 0; i < components; ++i) {
    const int dc = segment[2 + 2 * i] >> 4;
    const int ac = segment[2 + 2 * i] & 15;
    if (dc > 3 || ac > 3) return false;
    const bool needsDc = !state.progressive || (spectralStart == 0 && approximationHigh == 0);
    const bool needsAc = !state.progressive || spectralStart > 0;
    if ((needsDc && !state.dcTable[dc]) || (needsAc && !state.acTable[ac])) return false;
  }
  for (int i = 0; i < state.components; ++i) {
    if (!state.quantTable[state.componentQuant[i]]) return false;
  }
  return true;
}

bool ReadSegment(uint8_t marker, const uint8_t* segment, size_t length, JpegState& state) {
  switch (marker) {
    case 0xC4:
      return ReadHuffmanTables(segment, length, state);
    case 0xDB:
      return ReadQuantTables(segment, length, state);
    case 0xC0:
    case 0xC1:
    case 0xC2:
      return ReadFrameHeader(marker, segment, length, state);
    case 0xDA:
      return ReadScanHeader(segment, length, state);
    default:
      return true;
  }
}

// From just after a scan header to the marker that ends the entropy-coded
// data; size when there is none.
size_t SkipEntropyCodedData(const uint8_t* data, size_t size, size_t at) {
  while (at < size) {
    const void* found = std::memchr(data + at, 0xFF, size - at);
    if (found == nullptr) return size;
    const size_t mark = static_cast<const uint8_t*>(found) - data;
    if (mark + 1 >= size) return size;
    const uint8_t next = data[mark + 1];
    // A stuffed zero or a restart marker belongs to the scan; 0xFF is fill.
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
      at = mark + 2;
    } else if (next == 0xFF) {
      at = mark + 1;
    } else {
      return mark;
    }
  }
  return size;
}

// From just after the start-of-image marker to the end-of-image marker,
// segment by segment, as the decoder will walk it.
bool JpegStructureSound(const uint8_t* data, size_t size, size_t at) {
  JpegState state;
  for (;;) {
    if (at >= size || data[at] != 0xFF) return false;
    while (at < size && data[at] == 0xFF) ++at;
    if (at >= size) return false;
    const uint8_t marker = data[at++];
    if (marker == 0xD9) return true;  // end of image
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (size - at < 2) return false;
    const size_t length = ReadBe16(data + at);
    if (length < 2 || size - at < length) return false;
    if (!ReadSegment(marker, data + at + 2, length - 2, state)) return false;
    at += length;
    if (marker == 0xDA) at = SkipEntropyCodedData(data, size, at);
  }
}

// Every chunk (length, type, data, CRC) whole, up to and with IEND.
bool PngChunksComplete(const uint8_t* data, size_t size) {
  size_t at = 8;  // after the signature
  while (size - at >= 12) {
    const uint64_t chunk = uint64_t{ReadBe32(data + at)} + 12;
    if (chunk > size - at) return false;
    if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
    at += static_cast<size_t>(chunk);
  }
  return false;
}

}  // namespace

bool EncodedImagePassesPreflight(const uint8_t* data, size_t size) {
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return BitmapRowsPresent(data, size);
  if (size >= 1 && data[0] == 0xFF) {
    // Fill bytes may come before the start-of-image marker (the decoder is
    // handed the data after them), and no other format begins like this.
    const size_t start = JpegStart(data, size);
    return start < size && JpegStructureSound(data, size, start + 2);
  }
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return PngChunksComplete(data, size);
  return true;
}
