#include "audio/playlist.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "audio/playlist_paths.h"
#include "audio/playlist_text.h"
#include "foundation/shared_file.h"

namespace {

// _fullpath buffers: reading takes the music player's 1024 characters,
// saving the system's MAX_PATH.
constexpr size_t kReadPathBuffer = 1024;
constexpr size_t kSavePathBuffer = 260;
constexpr size_t kMaxTitle = 255;

}  // namespace

Playlist::Playlist(const char* filePath) { LoadPlaylist(filePath); }

bool Playlist::LoadPlaylist(const char* filePath) {
  if (!path.empty()) Clear();
  if (filePath == nullptr) {
    status = 1;
    return false;
  }
  std::string full;
  if (!MakeFullPath(filePath, kReadPathBuffer, full)) {
    status = 2;
    return false;
  }
  path = full;
  std::string bytes;
  if (!ReadWholeFile(filePath, bytes)) {
    status = 3;
    return false;
  }
  status = 0;
  baseDir = PathFolder(path, separator, altSeparator);
  ParseFileBytes(bytes, filePath, baseDir);
  return true;
}

size_t Playlist::ParseFileBytes(std::string_view bytes, const std::string& fileName,
                                const std::string& entryBase) {
  const std::string text = PlaylistTextAsUtf8(bytes);
  type = PlaylistTypeFromContent(text);
  if (type == 0) type = PlaylistTypeFromPath(fileName, defaultType);
  return ParseText(text.data(), text.size(), type, entryBase);
}

size_t Playlist::ParseText(const char* text, size_t length, int format,
                           const std::string& entryBase) {
  if (text == nullptr) return 0;
  PlaylistScan scan;
  scan.baseDir = entryBase;
  scan.separator = separator;
  scan.altSeparator = altSeparator;
  scan.decodeEntities = decodeEntities;
  std::vector<std::string> found;
  ReadPlaylistText(format, std::string_view(text, length), scan, found);
  const size_t count = found.size();
  if (count > 0) entries_ = std::move(found);
  return count;
}

std::string Playlist::FormatText(int format) const {
  std::string text;
  if (format == kPlaylistM3U) {
    // UTF-8 with its mark, which players take for M3U in that encoding.
    text = "\xEF\xBB\xBF#EXTM3U\n";
    for (const std::string& entry : entries_)
      text += "#EXTINF:-1," + PathTitle(entry, kMaxTitle) + "\n" + entry + "\n";
  } else {
    text = "[playlist]\nPlaylistName=Quorrin playlist\n";
    int number = 1;
    for (const std::string& entry : entries_) {
      const std::string key = std::to_string(number++);
      text += "File" + key + "=" + entry + "\n";
      text += "Title" + key + "=" + PathTitle(entry, kMaxTitle) + "\n";
    }
    text += "NumberOfEntries=" + std::to_string(entries_.size()) + "\n";
    text += "Version=2";
  }
  return text;
}

bool Playlist::SavePlaylist(const char* filePath, int format) const {
  if (entries_.empty() || filePath == nullptr) return false;
  if (format != kPlaylistM3U && format != kPlaylistPLS) return false;
  std::string target = filePath;
  if (IsRelativePath(target)) {
    const std::string relative = std::string(".") + separator + target;
    if (!MakeFullPath(relative.c_str(), kSavePathBuffer, target)) return false;
  }
  return WriteTextFile(target.c_str(), FormatText(format));
}

void Playlist::AddEntries(const char* const* newEntries, int n) {
  if (newEntries == nullptr || n <= 0) return;
  for (int i = 0; i < n; ++i) {
    if (newEntries[i] != nullptr) entries_.emplace_back(newEntries[i]);
  }
}

const char* Playlist::GetEntry(int index) const {
  if (index < 0 || index >= EntryCount()) return nullptr;
  return entries_[static_cast<size_t>(index)].c_str();
}

void Playlist::Shuffle(unsigned int seed, int passes) {
  std::srand(seed);
  const size_t count = entries_.size();
  if (count == 0) return;  // rand() % 0 is undefined
  for (int pass = 0; pass < passes; ++pass) {
    for (size_t i = 0; i < count; ++i) {
      const size_t j = static_cast<size_t>(std::rand()) % count;
      std::swap(entries_[i], entries_[j]);
    }
  }
}

void Playlist::Clear() {
  entries_.clear();
  status = 0;
  type = 0;
  path.clear();
  baseDir.clear();
}
