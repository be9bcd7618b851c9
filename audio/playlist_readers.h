// The readers of the six playlist formats. They are shallow text scanners,
// not XML or INI parsers: each looks for a fixed keyword and takes the text
// that follows it, so files that only resemble a format still give their
// entries and everything else in them is ignored.
//
// The text is untrusted. A scan that finds no closing quote, or a keyword
// at the very end, stops there; an entry too long for the music player's
// path buffer is dropped rather than cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Format codes, shared by the readers and the writer.
constexpr int kPlaylistM3U = 1;
constexpr int kPlaylistB4S = 2;
constexpr int kPlaylistPLS = 3;
constexpr int kPlaylistASX = 4;
constexpr int kPlaylistWPL = 5;
constexpr int kPlaylistBPL = 6;

// The music player copies each entry into a 1024-character path buffer.
constexpr size_t kMaxPlaylistEntry = 1023;

// What a reader needs besides the text.
struct PlaylistScan {
  std::string baseDir;  // prefix of relative values
  char separator = '\\';
  char altSeparator = '/';
  bool decodeEntities = true;  // for the quoted values of B4S, BPL, ASX, WPL
};

// The format code for the path's extension (".m3u", ".b4s", ".pls", ".asx",
// ".wpl", ".bpl", any case); `defaultType` for any other or none.
int PlaylistTypeFromPath(const std::string& path, int defaultType);

// A UNC value ("\\server\...") or one holding ":" anywhere (a drive letter
// or a URL) as it is; anything else is relative: baseDir + the value with
// one leading separator of either kind dropped.
std::string ResolvePlaylistValue(std::string_view value, const PlaylistScan& scan);

// "&apos;", "&quot;" and "&nbsp;", in that order, every occurrence; nothing
// else.
void DecodePlaylistEntities(std::string& value);

// One entry per line that is not a "#" line (after leading spaces).
void ReadM3U(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries);

// Version 2 ("Version=2" in the last 15 characters): the values of the
// "File" lines; version 1: every line after "[playlist]" as it stands.
void ReadPLS(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries);

// B4S and BPL: the quoted value after each "Playstring", a "file:" prefix
// dropped.
void ReadPlaystrings(std::string_view text, const PlaylistScan& scan,
                     std::vector<std::string>& entries);

// ASX ("href") and WPL ("media src"): the quoted value after each keyword.
void ReadQuotedValues(std::string_view text, std::string_view keyword, const PlaylistScan& scan,
                      std::vector<std::string>& entries);

// Runs the reader of `type` over the text up to its first zero byte (the
// file is read as a C string); an unknown type finds nothing.
void ReadPlaylistText(int type, std::string_view text, const PlaylistScan& scan,
                      std::vector<std::string>& entries);
