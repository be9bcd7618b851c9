// An ordered list of track entries (file paths, URLs, or "?" and the name of
// a built-in track) that reads seven playlist formats and writes two. The
// music player's track list is one; the music dialog reads and writes the
// user's custom playlist through temporary ones. Entries read from files
// are UTF-8, whatever encoding the file was in.
//
// Reading never reports a message: `status` says why a read failed, and a
// file without recognisable entries leaves the entries as they were.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "audio/playlist_readers.h"

class Playlist {
 public:
  Playlist() = default;
  // Reads the file at once; `status` tells whether that worked.
  explicit Playlist(const char* filePath);

  // Reads and parses the file (ParseFileBytes). True when the file was
  // read, even if it held no entries; on failure `status` is 1 (no path),
  // 2 (no absolute form) or 3 (the file could not be opened).
  bool LoadPlaylist(const char* filePath);

  // A playlist file's bytes as LoadPlaylist reads them: its text as UTF-8
  // (PlaylistTextAsUtf8), in the format the text plainly is or else the one
  // the extension of `fileName` names, relative entries from `entryBase`.
  // Sets `type`; when entries were found they replace the entries. Returns
  // the number found.
  size_t ParseFileBytes(std::string_view bytes, const std::string& fileName,
                        const std::string& entryBase);

  // Writes every entry as M3U (kPlaylistM3U, UTF-8 with its byte-order
  // mark) or PLS (kPlaylistPLS) with CR LF line ends; a relative path is
  // taken from the current directory. False
  // without writing for no entries, a null path or another format; false
  // when the file cannot be written.
  bool SavePlaylist(const char* filePath, int format) const;

  // Runs the reader of `format` over UTF-8 text already in memory and, when
  // it found entries, replaces the entries with them. Returns the number
  // found.
  size_t ParseText(const char* text, size_t length, int format, const std::string& entryBase);

  // Appends copies of `n` entries; null entries are skipped.
  void AddEntries(const char* const* newEntries, int n);
  void AddEntry(const char* entry) { AddEntries(&entry, 1); }
  // Null when the index is out of range.
  const char* GetEntry(int index) const;
  int EntryCount() const { return static_cast<int>(entries_.size()); }

  // srand(seed); then, `passes` times, each entry i is swapped with entry
  // rand() % count, so one seed always gives the same order.
  void Shuffle(unsigned int seed, int passes);

  // Drops the entries and forgets the last read; the options stay.
  void Clear();

  // Result of the last read: 0 read, 1 no path, 2 no absolute form, 3 not opened.
  int status = 0;
  // Format found at the last read; 0 before any.
  int type = 0;
  // Format read for an extension none of the known ones.
  int defaultType = kPlaylistM3U;
  // Decode character references ("&amp;", "&#233;") in the values of the
  // XML formats: B4S, BPL, ASX, WPL and XSPF.
  bool decodeEntities = true;
  char separator = '\\';
  char altSeparator = '/';
  // Absolute path of the file last read, and its folder with the separator.
  std::string path;
  std::string baseDir;

 private:
  std::string FormatText(int format) const;

  std::vector<std::string> entries_;
};
