// An ordered list of track entries (file paths, URLs, or "?" and the name of
// a built-in track) that reads six playlist formats and writes two. The
// music player's track list is one; the music dialog reads and writes the
// user's custom playlist through temporary ones.
//
// Reading never reports a message: `status` says why a read failed, and a
// file without recognisable entries leaves the entries as they were.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "audio/playlist_readers.h"

class Playlist {
 public:
  Playlist() = default;
  // Reads the file at once; `status` tells whether that worked.
  explicit Playlist(const char* filePath);

  // Reads and parses the file in the format its extension names. True when
  // the file was read, even if it held no entries; on failure `status` is 1
  // (no path), 2 (no absolute form) or 3 (the file could not be opened).
  bool LoadPlaylist(const char* filePath);

  // Writes every entry as M3U (kPlaylistM3U) or PLS (kPlaylistPLS) with CR LF
  // line ends; a relative path is taken from the current directory. False
  // without writing for no entries, a null path or another format; false
  // when the file cannot be written.
  bool SavePlaylist(const char* filePath, int format) const;

  // Runs the reader of `format` over a text already in memory (LF line
  // ends) and, when it found entries, replaces the entries with them.
  // Returns the number found.
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
  // Format read for an extension none of the six.
  int defaultType = kPlaylistM3U;
  // Decode "&apos;", "&quot;" and "&nbsp;" in B4S, BPL, ASX and WPL values.
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
