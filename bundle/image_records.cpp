#include "bundle/image_records.h"

#include <cstring>

#include "bundle/bundle.h"
#include "bundle/byte_order.h"

namespace {

const size_t kDimsFixedSize = 8;     // width, height
const size_t kCaptionFixedSize = 6;  // three u16 values

// The NUL-terminated text at `pos`, advancing `pos` past the NUL; false
// when the record ends first.
bool ReadText(const uint8_t* data, size_t size, size_t& pos, std::string& text) {
  if (pos >= size) return false;
  const void* nul = std::memchr(data + pos, 0, size - pos);
  if (nul == nullptr) return false;
  const size_t length = static_cast<const uint8_t*>(nul) - (data + pos);
  text.assign(reinterpret_cast<const char*>(data + pos), length);
  pos += length + 1;
  return true;
}

bool AppendText(std::vector<uint8_t>& out, const std::string& text) {
  if (text.find('\0') != std::string::npos) return false;
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  return true;
}

template <typename Record, typename Parser>
std::vector<Record> ReadTable(VFFILECAT& category, Parser parse) {
  std::vector<Record> table;
  for (bool more = category.files.First(); more; more = category.files.Next()) {
    VFFILE* file = category.files.Current();
    const uint8_t* data = category.Load(file);
    Record record;
    if (data != nullptr && parse(data, file->size, record)) table.push_back(record);
  }
  return table;
}

}  // namespace

bool ParseImageDims(const uint8_t* data, size_t size, ImageDims& out) {
  if (data == nullptr || size < kDimsFixedSize) return false;
  ImageDims dims;
  dims.width = static_cast<int32_t>(ReadLE32(data));
  dims.height = static_cast<int32_t>(ReadLE32(data + 4));
  size_t pos = kDimsFixedSize;
  if (!ReadText(data, size, pos, dims.name)) return false;
  if (pos < size) dims.horizontalOnly = data[pos];
  if (pos + 1 < size) dims.verticalOnly = data[pos + 1];
  out = dims;
  return true;
}

bool ParseImageCaption(const uint8_t* data, size_t size, ImageCaption& out) {
  if (data == nullptr || size < kCaptionFixedSize) return false;
  ImageCaption caption;
  for (int i = 0; i < 3; ++i) caption.values[i] = ReadLE16(data + 2 * i);
  size_t pos = kCaptionFixedSize;
  if (!ReadText(data, size, pos, caption.name) || !ReadText(data, size, pos, caption.text)) {
    return false;
  }
  out = caption;
  return true;
}

bool SerializeImageDims(const ImageDims& dims, bool withFlags, std::vector<uint8_t>& out) {
  out.clear();
  AppendLE32(out, static_cast<uint32_t>(dims.width));
  AppendLE32(out, static_cast<uint32_t>(dims.height));
  if (!AppendText(out, dims.name)) return false;
  if (withFlags) {
    out.push_back(dims.horizontalOnly);
    out.push_back(dims.verticalOnly);
  }
  return true;
}

bool SerializeImageCaption(const ImageCaption& caption, std::vector<uint8_t>& out) {
  out.clear();
  for (uint16_t value : caption.values) AppendLE16(out, value);
  return AppendText(out, caption.name) && AppendText(out, caption.text);
}

std::vector<ImageDims> ReadImageDimsTable(VFFILECAT& category) {
  return ReadTable<ImageDims>(category, ParseImageDims);
}

std::vector<ImageCaption> ReadImageCaptionTable(VFFILECAT& category) {
  return ReadTable<ImageCaption>(category, ParseImageCaption);
}
