#include "audio/playlist_paths.h"

#include <unistd.h>

#include <climits>
#include <vector>

bool MakeFullPath(const char* path, size_t bufferSize, std::string& full) {
  if (path == nullptr || *path == '\0') return false;
  std::string joined = path;
  if (joined[0] != '/' && joined[0] != '\\') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return false;
    joined = std::string(cwd) + "/" + joined;
  }
  // Fold the components lexically: the file need not exist, as on Windows.
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find_first_of("\\/", start);
    if (end == std::string::npos) end = joined.size();
    const std::string part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  const char last = joined.back();
  if (result.empty() || last == '/' || last == '\\') result += "/";
  if (result.size() + 1 > bufferSize) return false;
  full = result;
  return true;
}
