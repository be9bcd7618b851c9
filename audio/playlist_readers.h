// The readers of the seven playlist formats. They are shallow scanners, not
// XML or INI parsers: each looks for its keyword, element or key and takes
// the value that belongs to it, so files that only resemble a format still
// give their entries and everything else in them is ignored.
//
// The text is untrusted UTF-8 (see playlist_text.h for how a file becomes
// that). Lines may end in CR LF, LF or CR; blanks around lines and values
// are dropped. A scan that finds no closing quote or element stops there;
// an empty value gives no entry, and an entry too long for the music
// player's path buffer, or holding a control character (a line break
// inside a value), is dropped rather than cut. Every reader moves
// forward through the text only, so it takes time in proportion to the
// text's length.
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
constexpr int kPlaylistXSPF = 7;

// The music player copies each entry into a 1024-character path buffer.
constexpr size_t kMaxPlaylistEntry = 1023;

// What a reader needs besides the text.
struct PlaylistScan {
  std::string baseDir;  // prefix of relative values
  char separator = '\\';
  char altSeparator = '/';
  bool decodeEntities = true;  // for the values of the XML formats
};

// The format code for the path's extension (".m3u", ".m3u8", ".b4s",
// ".pls", ".asx", ".wax", ".wvx", ".wpl", ".bpl", ".xspf", any case);
// `defaultType` for any other or none.
int PlaylistTypeFromPath(const std::string& path, int defaultType);

// The format the text plainly is, whatever its file is called: an XML root
// element asx (ASX), smil (WPL), WinampXML (B4S) or playlist in the XSPF
// namespace, or "[playlist]" as its first line (PLS). 0 when it is none of
// these.
int PlaylistTypeFromContent(std::string_view text);

// A "file:" URL as the path it names; a UNC value ("\\server\...") or one
// holding ":" anywhere (a drive letter or another URL) as it is; anything
// else is relative: baseDir + the value with one leading separator of
// either kind dropped. Empty for a file URL that names no file.
std::string ResolvePlaylistValue(std::string_view value, const PlaylistScan& scan);

// An XSPF location, which is a URI: a "file:" URL as its path, another URL
// as it is, a relative reference percent-decoded and taken from baseDir.
std::string ResolvePlaylistLocation(std::string_view location, const PlaylistScan& scan);

// One entry per line that is not a "#" line (directives and comments).
void ReadM3U(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries);

// The lines after "[playlist]" (the whole text without one): the values of
// the "FileN=" keys (any case) when there are such lines (version 2),
// otherwise every line as it stands (version 1).
void ReadPLS(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries);

// B4S and BPL: the double-quoted value after each "Playstring", a "file:"
// prefix before a drive or relative path dropped.
void ReadPlaystrings(std::string_view text, const PlaylistScan& scan,
                     std::vector<std::string>& entries);

// ASX (element "ref", attribute "href") and WPL ("media", "src"): the
// attribute of every such element, names in any case.
void ReadElementAttributes(std::string_view text, std::string_view element,
                           std::string_view attribute, const PlaylistScan& scan,
                           std::vector<std::string>& entries);

// XSPF: the first <location> of each <track>.
void ReadXSPF(std::string_view text, const PlaylistScan& scan, std::vector<std::string>& entries);

// Runs the reader of `type` over the text up to its first zero byte (the
// file is read as a C string); an unknown type finds nothing.
void ReadPlaylistText(int type, std::string_view text, const PlaylistScan& scan,
                      std::vector<std::string>& entries);
