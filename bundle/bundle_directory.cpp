#include "bundle/bundle_directory.h"

#include <climits>
#include <cstring>

#include "bundle/byte_order.h"

namespace {

const uint8_t kCategoryMark = '?';
const size_t kFileRecordTail = 8;  // offset and size after the name's NUL

// The NUL-terminated text starting at `pos`; false when no NUL comes before
// `end`. `next` is the position after the NUL.
bool ReadName(const uint8_t* dir, size_t pos, size_t end, std::string& name, size_t& next) {
  const void* nul = std::memchr(dir + pos, 0, end - pos);
  if (nul == nullptr) return false;
  const size_t length = static_cast<const uint8_t*>(nul) - (dir + pos);
  name.assign(reinterpret_cast<const char*>(dir + pos), length);
  next = pos + length + 1;
  return true;
}

// Walks the records into `bundle`; false at the first malformed one and
// for a directory without any category.
bool ParseRecords(const uint8_t* dir, size_t size, const std::string& path, VFBUNDLE& bundle) {
  VFFILECAT* current = nullptr;
  size_t pos = 0;
  std::string name;
  while (pos < size) {
    if (dir[pos] == kCategoryMark) {
      if (!ReadName(dir, pos + 1, size, name, pos)) return false;
      current = new VFFILECAT(name, path);
      bundle.categories.Append(current);
      continue;
    }
    // A file record before any category: the directory must open with one.
    if (current == nullptr) return false;
    if (!ReadName(dir, pos, size, name, pos)) return false;
    if (size - pos < kFileRecordTail || bundle.fileCount == INT32_MAX) return false;
    const uint32_t offset = ReadLE32(dir + pos);
    const uint32_t length = ReadLE32(dir + pos + 4);
    pos += kFileRecordTail;
    current->files.Append(new VFFILE(name, offset, length));
    ++bundle.fileCount;
  }
  return current != nullptr;
}

}  // namespace

bool ParseBundleDirectory(const uint8_t* directory, size_t size, const std::string& path,
                          VFBUNDLE& bundle) {
  if (directory == nullptr || !ParseRecords(directory, size, path, bundle)) {
    bundle.Close();
    return false;
  }
  return true;
}
