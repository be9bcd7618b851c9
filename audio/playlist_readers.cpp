#include "audio/playlist_readers.h"

#include <algorithm>
#include <optional>

#include "audio/playlist_paths.h"
#include "audio/playlist_text.h"
#include "audio/playlist_xml.h"

namespace {

size_t FindNoCase(std::string_view text, std::string_view word, size_t from = 0) {
  for (size_t at = from; at + word.size() <= text.size(); ++at) {
    if (StartsWithNoCase(text.substr(at), word)) return at;
  }
  return std::string_view::npos;
}

// Calls `take` with each line that is not blank, without its blanks. A
// CR LF pair ends one line and leaves an empty one, which is skipped.
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(start, end - start));
    if (!line.empty()) take(line);
    start = end + 1;
  }
}

bool IsUncPath(std::string_view value) {
  return value.size() >= 2 && value[0] == '\\' && value[1] == '\\';
}

std::string RelativeEntry(std::string_view value, const PlaylistScan& scan) {
  if (!value.empty() && (value[0] == scan.separator || value[0] == scan.altSeparator))
    value.remove_prefix(1);
  return scan.baseDir + std::string(value);
}

// No path or URL holds a control character; one that does came from a
// value broken over lines or an escaped line break, and would break the
// lines of the playlist the program saves.
bool HasControlCharacter(const std::string& entry) {
  return std::any_of(entry.begin(), entry.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void Keep(std::string entry, std::vector<std::string>& entries) {
  if (entry.empty() || entry.size() > kMaxPlaylistEntry || HasControlCharacter(entry)) return;
  entries.push_back(std::move(entry));
}

// A value of a line format (M3U, PLS).
void AddValue(std::string_view value, const PlaylistScan& scan, std::vector<std::string>& entries) {
  value = TrimBlanks(value);
  if (!value.empty()) Keep(ResolvePlaylistValue(value, scan), entries);
}

// A value of an XML format, whose text may hold character references.
void AddXmlValue(std::string_view raw, bool isLocation, const PlaylistScan& scan,
                 std::vector<std::string>& entries) {
  std::string value(TrimBlanks(raw));
  if (scan.decodeEntities) DecodePlaylistEntities(value);
  if (value.empty()) return;
  Keep(isLocation ? ResolvePlaylistLocation(value, scan) : ResolvePlaylistValue(value, scan),
       entries);
}

// The value of a "FileN=" line: "file" in any case, a number, "=".
bool PlsFileValue(std::string_view line, std::string_view& value) {
  if (!StartsWithNoCase(line, "file")) return false;
  size_t at = 4;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
  if (at == 4) return false;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  if (at == line.size() || line[at] != '=') return false;
  value = line.substr(at + 1);
  return true;
}

}  // namespace

int PlaylistTypeFromPath(const std::string& path, int defaultType) {
  static const struct {
    const char* extension;
    int type;
  } kFormats[] = {{".m3u", kPlaylistM3U}, {".m3u8", kPlaylistM3U}, {".b4s", kPlaylistB4S},
                  {".pls", kPlaylistPLS}, {".asx", kPlaylistASX},  {".wax", kPlaylistASX},
                  {".wvx", kPlaylistASX}, {".wpl", kPlaylistWPL},  {".bpl", kPlaylistBPL},
                  {".xspf", kPlaylistXSPF}};
  const size_t name = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return defaultType;
  const std::string_view extension = std::string_view(path).substr(dot);
  for (const auto& format : kFormats) {
    if (EqualsNoCase(extension, format.extension)) return format.type;
  }
  return defaultType;
}

int PlaylistTypeFromContent(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return 0;
  text.remove_prefix(first);
  if (StartsWithNoCase(text, "[playlist]")) return kPlaylistPLS;
  XmlTag root;
  if (text[0] != '<' || !NextXmlTag(text, 0, root) || root.closing) return 0;
  static const struct {
    const char* name;
    int type;
  } kRoots[] = {{"asx", kPlaylistASX}, {"smil", kPlaylistWPL}, {"WinampXML", kPlaylistB4S}};
  for (const auto& known : kRoots) {
    if (EqualsNoCase(root.name, known.name)) return known.type;
  }
  if (!EqualsNoCase(root.name, "playlist")) return 0;
  size_t at = root.afterName;
  std::optional<std::string_view> space;
  if (ReadXmlAttribute(text, at, "xmlns", space) && space &&
      space->find("xspf.org/ns/0") != std::string_view::npos)
    return kPlaylistXSPF;
  return 0;
}

std::string ResolvePlaylistValue(std::string_view value, const PlaylistScan& scan) {
  if (IsFileUrl(value)) return FileUrlPath(value, scan.separator);
  if (IsUncPath(value) || value.find(':') != std::string_view::npos) return std::string(value);
  return RelativeEntry(value, scan);
}

std::string ResolvePlaylistLocation(std::string_view location, const PlaylistScan& scan) {
  if (IsFileUrl(location)) return FileUrlPath(location, scan.separator);
  // A scheme ("http:") or a drive ("C:") comes before any separator; a
  // relative reference cannot hold ':' there.
  const size_t colon = location.find(':');
  if (IsUncPath(location) || colon < location.find_first_of("/\\")) return std::string(location);
  return RelativeEntry(PercentDecodedPath(location, scan.separator), scan);
}

void ReadM3U(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries) {
  ForEachLine(text, [&](std::string_view line) {
    if (line[0] != '#') AddValue(line, scan, entries);
  });
}

void ReadPLS(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries) {
  const size_t section = FindNoCase(text, "[playlist]");
  if (section != std::string_view::npos) {
    const size_t lineEnd = text.find_first_of("\r\n", section);
    text = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd);
  }
  bool version2 = false;
  std::string_view value;
  ForEachLine(text, [&](std::string_view line) { version2 = version2 || PlsFileValue(line, value); });
  ForEachLine(text, [&](std::string_view line) {
    if (!version2) AddValue(line, scan, entries);
    else if (PlsFileValue(line, value)) AddValue(value, scan, entries);
  });
}

void ReadPlaystrings(std::string_view text, const PlaylistScan& scan,
                     std::vector<std::string>& entries) {
  constexpr std::string_view kKeyword = "Playstring";
  size_t at = 0;
  while ((at = FindNoCase(text, kKeyword, at)) != std::string_view::npos) {
    const size_t open = text.find('"', at + kKeyword.size());
    if (open == std::string_view::npos) return;
    const size_t close = text.find('"', open + 1);
    if (close == std::string_view::npos) return;
    // "file:C:\x.mp3" names the path after the scheme; a URL with slashes
    // is resolved as one.
    std::string_view value = TrimBlanks(text.substr(open + 1, close - open - 1));
    if (StartsWithNoCase(value, "file:") && !IsFileUrl(value)) value.remove_prefix(5);
    AddXmlValue(value, false, scan, entries);
    at = close + 1;
  }
}

void ReadElementAttributes(std::string_view text, std::string_view element,
                           std::string_view attribute, const PlaylistScan& scan,
                           std::vector<std::string>& entries) {
  size_t at = 0;
  XmlTag tag;
  while (NextXmlTag(text, at, tag)) {
    at = tag.afterName;
    if (tag.closing || !EqualsNoCase(tag.name, element)) continue;
    std::optional<std::string_view> value;
    if (!ReadXmlAttribute(text, at, attribute, value)) return;
    if (value) AddXmlValue(*value, false, scan, entries);
  }
}

void ReadXSPF(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries) {
  size_t at = 0;
  XmlTag tag;
  bool wanted = false;  // inside a <track> whose location has not come yet
  while (NextXmlTag(text, at, tag)) {
    at = tag.afterName;
    if (EqualsNoCase(tag.name, "track")) {
      wanted = !tag.closing;
      continue;
    }
    if (!wanted || tag.closing || !EqualsNoCase(tag.name, "location")) continue;
    const size_t end = text.find('>', at);
    if (end == std::string_view::npos) return;
    at = end + 1;
    if (text[end - 1] == '/') continue;  // <location/>: an empty one
    const size_t close = text.find('<', at);
    if (close == std::string_view::npos) return;
    AddXmlValue(text.substr(at, close - at), true, scan, entries);
    wanted = false;
    at = close;
  }
}

void ReadPlaylistText(int type, std::string_view text, const PlaylistScan& scan,
                      std::vector<std::string>& entries) {
  text = text.substr(0, text.find('\0'));
  switch (type) {
    case kPlaylistM3U:
      ReadM3U(text, scan, entries);
      break;
    case kPlaylistPLS:
      ReadPLS(text, scan, entries);
      break;
    case kPlaylistB4S:
    case kPlaylistBPL:
      ReadPlaystrings(text, scan, entries);
      break;
    case kPlaylistASX:
      ReadElementAttributes(text, "ref", "href", scan, entries);
      break;
    case kPlaylistWPL:
      ReadElementAttributes(text, "media", "src", scan, entries);
      break;
    case kPlaylistXSPF:
      ReadXSPF(text, scan, entries);
      break;
    default:
      break;
  }
}
