// What the music dialog does with the user's songs, apart from its windows:
// reading the open-file dialog's answer, deciding which files a choice
// adds (songs, or the entries of the playlists chosen), the names the list
// shows and the custom playlist file it reads and writes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The open-file dialog's answer: the full paths chosen, and whether the
// user chose several files at once.
struct FileSelection {
  std::vector<std::string> paths;
  bool several = false;
};

// `buffer` holds `size` characters as the dialog left them: one full path,
// or (when the first string is shorter than `fileOffset`) the folder and
// then each file name, each ended by a zero, with an empty name last. Never
// reads past `size`, even when the terminating zeros are missing.
FileSelection ParseFileSelection(const char* buffer, size_t size, size_t fileOffset);

// A playlist in a format the reader knows, or a song file the saver
// plays, judged by the extension alone (ignoring case). A name without an
// extension is neither.
bool IsPlaylistFile(const std::string& path);
bool IsSongFile(const std::string& path);

// The paths a selection adds, in order. A playlist chosen alone adds all its
// entries; playlists chosen with other files add only their song entries.
// Other files are added themselves. A playlist that cannot be read adds
// nothing.
std::vector<std::string> SongsToAdd(const FileSelection& selection);

// The name the list shows: the file name with its extension, no folder.
std::string SongDisplayName(const std::string& path);

// The count label: "3\nFiles".
std::string SongCountLabel(int count);

// The entries of the custom playlist file (none when it cannot be read).
std::vector<std::string> LoadCustomPlaylist(const std::string& file);

// Writes `paths` to `file` as M3U, or deletes the file for an empty list.
// Paths that would not fit the 260-character path buffer are left out.
// False when the file could not be written (or deleted); the old file is
// then as it was.
bool SaveCustomPlaylist(const std::vector<std::string>& paths, const std::string& file);
// What the music dialog says when that failed.
std::string MusicListNotSavedText(const std::string& file);

// The longest path the saved list keeps (260-character buffer, with its zero).
const size_t kMaxSongPath = 259;
