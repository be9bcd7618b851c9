#include "bundle/image_object.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "bundle/file_helpers.h"

namespace {

// No encoded picture within the pixel limit is larger than its pixels at 4
// bytes each plus headers; a longer file is refused before it is read whole.
constexpr size_t kMaxFileBytes = static_cast<size_t>(kMaxImageBytes) + (size_t{1} << 20);

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  SequentialFile file;
  if (path == nullptr || file.Open(path) != 0) return false;
  constexpr size_t kChunk = size_t{1} << 20;
  size_t used = 0;
  for (;;) {
    bytes.resize(used + kChunk);
    size_t got = 0;
    if (!file.Read(bytes.data() + used, kChunk, got)) return false;
    if (got == 0) break;
    used += got;
    if (used > kMaxFileBytes) return false;
  }
  bytes.resize(used);
  return true;
}

}  // namespace

long CImageObject::Load(const void* buffer, size_t size, void* /*options*/) {
  return data_.Decode(buffer, size) ? 0 : -1;
}

long CImageObject::Load(const char* path, void* options, int, int) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    data_.Clear();
    return -1;
  }
  return Load(bytes.data(), bytes.size(), options);
}

long CImageObject::GetCodecIdFromExtension(const char* extension, int codecType) {
  if (extension == nullptr) return ImageCodec_None;
  if (*extension == '.') ++extension;
  std::string name;
  for (; *extension != '\0'; ++extension)
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(*extension)));
  if (name == "bmp" || name == "dib") return ImageCodec_Bmp;
  if (codecType != ImageCodecType_Read) return ImageCodec_None;
  if (name == "jpg" || name == "jpeg" || name == "jpe" || name == "jfif") return ImageCodec_Jpeg;
  if (name == "png") return ImageCodec_Png;
  return ImageCodec_None;
}

long CImageObject::Save(const char* path, long codecId, void* /*options*/) {
  if (codecId != ImageCodec_Bmp) return -1;
  return data_.SaveWindowsBitmap(path) ? 0 : -1;
}
