#include "audio/playlist_paths.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

std::string PathFolder(const std::string& path, char separator, char altSeparator) {
  const size_t last = path.find_last_of(std::string{separator, altSeparator});
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string PathTitle(const std::string& path, size_t maxLength) {
  const size_t folder = LastSeparator(path);
  std::string name = folder == std::string::npos ? path : path.substr(folder + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  if (name.size() > maxLength) name.resize(maxLength);
  return name;
}

bool IsRelativePath(const std::string& path) {
  if (path.empty()) return true;
  if (IsSeparator(path[0])) return false;
  return !(path.size() >= 2 && path[1] == ':');
}
