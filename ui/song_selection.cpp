#include "ui/song_selection.h"

#include <cctype>
#include <cstdio>

#include "audio/playlist.h"
#include "audio/playlist_readers.h"
#include "bundle/file_helpers.h"

namespace {

// The extension with its dot, or empty when the file name has none.
std::string Extension(const std::string& path) {
  const size_t name = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return std::string();
  return path.substr(dot);
}

// Whether the extension is one of the ".a.b.c" list: whole entries only, so
// ".mp" is not taken for ".mp3".
bool ExtensionIn(const std::string& path, const char* list) {
  std::string extension = Extension(path);
  if (extension.size() < 2) return false;
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string entries(list);
  size_t at = 0;
  while ((at = entries.find(extension, at)) != std::string::npos) {
    const size_t end = at + extension.size();
    if (end == entries.size() || entries[end] == '.') return true;
    ++at;
  }
  return false;
}

// The string at `at`, ended by a zero or by the end of the buffer.
std::string StringAt(const char* buffer, size_t size, size_t at) {
  size_t end = at;
  while (end < size && buffer[end] != '\0') ++end;
  return std::string(buffer + at, end - at);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

std::vector<std::string> PlaylistEntries(const std::string& file) {
  std::vector<std::string> entries;
  Playlist playlist;
  if (!playlist.LoadPlaylist(file.c_str())) return entries;
  for (int i = 0; i < playlist.EntryCount(); ++i) entries.push_back(playlist.GetEntry(i));
  return entries;
}

}  // namespace

FileSelection ParseFileSelection(const char* buffer, size_t size, size_t fileOffset) {
  FileSelection selection;
  if (buffer == nullptr || size == 0) return selection;
  const std::string first = StringAt(buffer, size, 0);
  if (first.size() >= fileOffset) {
    if (!first.empty()) selection.paths.push_back(first);
    return selection;
  }
  selection.several = true;
  size_t at = first.size() + 1;
  while (at < size) {
    const std::string name = StringAt(buffer, size, at);
    if (name.empty()) break;
    selection.paths.push_back(JoinPath(first, name));
    at += name.size() + 1;
  }
  return selection;
}

bool IsPlaylistFile(const std::string& path) {
  return ExtensionIn(path, ".b4s.m3u.m3u8.pls.asx.wax.wvx.wpl.bpl.xspf");
}

bool IsSongFile(const std::string& path) { return ExtensionIn(path, ".mp2.mp3.wav.ogg.wma.asf"); }

std::vector<std::string> SongsToAdd(const FileSelection& selection) {
  std::vector<std::string> songs;
  for (const std::string& path : selection.paths) {
    if (!IsPlaylistFile(path)) {
      songs.push_back(path);
      continue;
    }
    for (const std::string& entry : PlaylistEntries(path))
      if (!selection.several || IsSongFile(entry)) songs.push_back(entry);
  }
  return songs;
}

std::string SongDisplayName(const std::string& path) {
  const size_t name = path.find_last_of("\\/");
  return name == std::string::npos ? path : path.substr(name + 1);
}

std::string SongCountLabel(int count) { return std::to_string(count) + "\nFiles"; }

std::vector<std::string> LoadCustomPlaylist(const std::string& file) { return PlaylistEntries(file); }

bool SaveCustomPlaylist(const std::vector<std::string>& paths, const std::string& file) {
  Playlist playlist;
  for (const std::string& path : paths)
    if (path.size() <= kMaxSongPath) playlist.AddEntry(path.c_str());
  if (playlist.EntryCount() == 0) return std::remove(file.c_str()) == 0 || !FileExists(file);
  return playlist.SavePlaylist(file.c_str(), kPlaylistM3U);
}

std::string MusicListNotSavedText(const std::string& file) {
  return "Your music list could not be saved to\n" + file +
         "\n\nThe folder may be read-only or the disk full. Your changes are still in the list; "
         "press Cancel to leave them.";
}
