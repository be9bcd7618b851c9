#include "host/user_files.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "foundation/text_search.h"

std::string FileNameSafeUserName(const std::string& loginName) {
  std::string safe = loginName;
  for (char& c : safe) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) c = '_';
  }
  return safe;
}

std::string PlaylistFileName(const std::string& loginName, bool nameKnown) {
  return nameKnown ? FileNameSafeUserName(loginName) + ".M3U" : "Orbex.M3U";
}

std::string WallpaperFileName(const std::string& loginName, bool nameKnown) {
  return nameKnown ? FileNameSafeUserName(loginName) + "_orbex.bmp" : "orbex.bmp";
}

bool IsProductDataFolder(const std::string& path) {
  // Absolute: a drive root ("C:\") or a network share ("\\server\share").
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  if (!drive && !share) return false;

  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = share ? 2 : 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (!part.empty()) parts.push_back(part);
      else if (i != path.size()) return false;  // "a\\b": an empty component
      part.clear();
    } else {
      part += path[i];
    }
  }
  for (const std::string& p : parts)
    if (p == "." || p == "..") return false;
  // A share path needs its server and share before the product folders.
  const std::size_t minimum = share ? 4 : 2;
  if (parts.size() < minimum) return false;
  return EqualNoCase(parts[parts.size() - 2], "PelkSoft") && EqualNoCase(parts.back(), "Zelvora");
}
