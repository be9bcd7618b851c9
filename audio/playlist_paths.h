// Path pieces of the playlist: the absolute form of a path, the folder that
// a playlist's relative entries hang from, and a track's display title.
// Either separator counts in all of them, as it does for the Windows file
// functions, so playlists written on Windows read the same everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The absolute form of `path`, like the C run-time's _fullpath: the file
// need not exist, "." and ".." are folded. False for a null or empty path,
// or when the result would not fit a buffer of `bufferSize` characters
// including the terminating zero.
bool MakeFullPath(const char* path, size_t bufferSize, std::string& full);

// `path` up to and including its last separator of either kind; empty when
// it has none.
std::string PathFolder(const std::string& path, char separator, char altSeparator);

// The file name without folder and extension, cut to `maxLength`
// characters: what a saved playlist shows as the track's title.
std::string PathTitle(const std::string& path, size_t maxLength);

// True for a path that names neither a drive ("C:") nor starts at a root
// (a separator of either kind, which includes UNC paths): such a path is
// saved relative to the current directory.
bool IsRelativePath(const std::string& path);

// A URL path as a file path: "%XX" escapes decoded (a malformed one, or
// "%00", stays as written), "/" turned into `separator`; bytes that do not
// form UTF-8 are taken as Windows-1252, as older programs escaped them.
std::string PercentDecodedPath(std::string_view urlPath, char separator);

// True for a "file:" URL with a path ("file:/..." or "file://...").
bool IsFileUrl(std::string_view value);

// The path a "file:" URL names: "file:///C:/My%20Music/a.mp3" and
// "file://localhost/C:/a.mp3" give "C:\My Music\a.mp3",
// "file://server/share/a.mp3" gives "\\server\share\a.mp3", and a path
// without a drive starts at the root ("\music\a.mp3"). Empty when the URL
// names no file.
std::string FileUrlPath(std::string_view url, char separator);
