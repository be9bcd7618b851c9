#include "audio/playlist_paths.h"

#include "audio/playlist_text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

// "C:" or the old URL form "C|", alone or before a separator.
bool IsDriveSpec(std::string_view text) {
  if (text.size() < 2 || (text[1] != ':' && text[1] != '|')) return false;
  const char letter = static_cast<char>(text[0] | 0x20);
  return letter >= 'a' && letter <= 'z' && (text.size() == 2 || IsSeparator(text[2]));
}

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
  if (name.size() > maxLength) {
    // Never inside a UTF-8 sequence: half a letter would make the saved
    // list invalid UTF-8.
    size_t cut = maxLength;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

bool IsRelativePath(const std::string& path) {
  if (path.empty()) return true;
  if (IsSeparator(path[0])) return false;
  return !(path.size() >= 2 && path[1] == ':');
}

std::string PercentDecodedPath(std::string_view urlPath, char separator) {
  std::string bytes;
  bytes.reserve(urlPath.size());
  for (size_t i = 0; i < urlPath.size(); ++i) {
    const char c = urlPath[i];
    if (c == '%' && urlPath.size() - i > 2) {
      const int high = DigitValue(urlPath[i + 1], 16);
      const int low = DigitValue(urlPath[i + 2], 16);
      if (high >= 0 && low >= 0 && (high | low) != 0) {
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    bytes += c == '/' ? separator : c;
  }
  return Utf8OrWindows1252(bytes);
}

bool IsFileUrl(std::string_view value) { return StartsWithNoCase(value, "file:/"); }

std::string FileUrlPath(std::string_view url, char separator) {
  if (!IsFileUrl(url)) return std::string();
  std::string_view rest = url.substr(5);
  if (rest.compare(0, 2, "//") == 0) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    // "file://C:/a.mp3", written by some programs, names a drive, not a host.
    if (!IsDriveSpec(host)) {
      rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
      if (!host.empty() && !EqualsNoCase(host, "localhost"))
        return std::string(2, separator) + PercentDecodedPath(url.substr(7), separator);
    }
  }
  if (rest.size() > 1 && rest[0] == '/' && IsDriveSpec(rest.substr(1))) rest.remove_prefix(1);
  if (rest.size() <= 1) return std::string();  // no path, or the root alone
  std::string path = PercentDecodedPath(rest, separator);
  if (IsDriveSpec(rest)) path[1] = ':';
  return path;
}
