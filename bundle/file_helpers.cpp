#include "bundle/file_helpers.h"

#include <cstdio>

bool ReplaceFileContents(const std::string& path, const void* bytes, size_t size) {
  if (path.empty()) return false;
  const std::string temporary = path + ".tmp";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes, 1, size, out) == size;
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed || !MoveFileOver(temporary.c_str(), path.c_str())) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
