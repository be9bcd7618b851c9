#include "audio/playlist_readers.h"

#include <algorithm>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[i]) != Lower(word[i])) return false;
  }
  return true;
}

size_t FindNoCase(std::string_view text, std::string_view word, size_t from = 0) {
  for (size_t at = from; at + word.size() <= text.size(); ++at) {
    if (StartsWithNoCase(text.substr(at), word)) return at;
  }
  return std::string_view::npos;
}

std::string_view SkipSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

size_t SkipSpaces(std::string_view text, size_t at) {
  while (at < text.size() && text[at] == ' ') ++at;
  return at;
}

// Calls `take` with each non-empty line, leading spaces removed.
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) take(SkipSpaces(text.substr(start, end - start)));
    start = end + 1;
  }
}

void AddEntry(std::string_view value, const PlaylistScan& scan, std::vector<std::string>& entries) {
  std::string entry = ResolvePlaylistValue(value, scan);
  if (entry.size() <= kMaxPlaylistEntry) entries.push_back(std::move(entry));
}

void ReplaceAll(std::string& text, std::string_view from, char to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), 1, to);
    ++at;
  }
}

// The quoted value after each keyword; `dropFileScheme` turns
// "file:C:\x.mp3" into "C:\x.mp3".
void ScanQuoted(std::string_view text, std::string_view keyword, bool dropFileScheme,
                const PlaylistScan& scan, std::vector<std::string>& entries) {
  size_t at = 0;
  while ((at = FindNoCase(text, keyword, at)) != std::string_view::npos) {
    const size_t open = text.find('"', at + keyword.size());
    if (open == std::string_view::npos) return;
    size_t start = SkipSpaces(text, open + 1);
    if (dropFileScheme && StartsWithNoCase(text.substr(start), "file:")) {
      start = SkipSpaces(text, start + 5);
    }
    const size_t close = text.find('"', start);
    if (close == std::string_view::npos) return;
    std::string value(text.substr(start, close - start));
    if (scan.decodeEntities) DecodePlaylistEntities(value);
    AddEntry(value, scan, entries);
    at = close + 1;
  }
}

}  // namespace

int PlaylistTypeFromPath(const std::string& path, int defaultType) {
  static const struct {
    const char* extension;
    int type;
  } kFormats[] = {{".m3u", kPlaylistM3U}, {".b4s", kPlaylistB4S}, {".pls", kPlaylistPLS},
                  {".asx", kPlaylistASX}, {".wpl", kPlaylistWPL}, {".bpl", kPlaylistBPL}};
  const size_t name = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return defaultType;
  const std::string_view extension = std::string_view(path).substr(dot);
  for (const auto& format : kFormats) {
    const std::string_view known = format.extension;
    if (extension.size() == known.size() && StartsWithNoCase(extension, known)) return format.type;
  }
  return defaultType;
}

std::string ResolvePlaylistValue(std::string_view value, const PlaylistScan& scan) {
  if (value.size() >= 2 && value[0] == '\\' && value[1] == '\\') return std::string(value);
  if (value.find(':') != std::string_view::npos) return std::string(value);
  if (!value.empty() && (value[0] == scan.separator || value[0] == scan.altSeparator))
    value.remove_prefix(1);
  return scan.baseDir + std::string(value);
}

void DecodePlaylistEntities(std::string& value) {
  ReplaceAll(value, "&apos;", '\'');
  ReplaceAll(value, "&quot;", '"');
  ReplaceAll(value, "&nbsp;", ' ');
}

void ReadM3U(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries) {
  ForEachLine(text, [&](std::string_view line) {
    if (line.empty() || line[0] != '#') AddEntry(line, scan, entries);
  });
}

void ReadPLS(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries) {
  const size_t tail = text.size() > 15 ? text.size() - 15 : 0;
  const bool version2 = FindNoCase(text.substr(tail), "Version=2") != std::string_view::npos;

  // Past the section name and its line feed; a section name at the very end
  // leaves nothing to read.
  const size_t section = FindNoCase(text, "[playlist]");
  if (section != std::string_view::npos) text.remove_prefix(std::min(section + 11, text.size()));

  ForEachLine(text, [&](std::string_view line) {
    if (!version2) {
      AddEntry(line, scan, entries);
      return;
    }
    if (!StartsWithNoCase(line, "file")) return;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;  // a "File" line without a value
    AddEntry(SkipSpaces(line.substr(equals + 1)), scan, entries);
  });
}

void ReadPlaystrings(std::string_view text, const PlaylistScan& scan,
                     std::vector<std::string>& entries) {
  ScanQuoted(text, "Playstring", true, scan, entries);
}

void ReadQuotedValues(std::string_view text, std::string_view keyword, const PlaylistScan& scan,
                      std::vector<std::string>& entries) {
  if (keyword.empty()) return;
  ScanQuoted(text, keyword, false, scan, entries);
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
      ReadQuotedValues(text, "href", scan, entries);
      break;
    case kPlaylistWPL:
      ReadQuotedValues(text, "media src", scan, entries);
      break;
    default:
      break;
  }
}
