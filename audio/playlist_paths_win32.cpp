#include "audio/playlist_paths.h"

#include <cstdlib>
#include <vector>

bool MakeFullPath(const char* path, size_t bufferSize, std::string& full) {
  if (path == nullptr || *path == '\0' || bufferSize == 0) return false;
  std::vector<char> buffer(bufferSize);
  if (_fullpath(buffer.data(), path, bufferSize) == nullptr) return false;
  full = buffer.data();
  return true;
}
