// The text of playlist files. Players and sites write them in whatever
// encoding their system used: UTF-8 with or without a byte-order mark,
// UTF-16 in either byte order (Windows players), or the Windows ANSI code
// page. Entries are held as UTF-8, so every file is turned into UTF-8 text
// before a reader sees it. Saved files carry CR LF line ends, as the Windows
// C run-time's text mode writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends the code point as UTF-8; one outside Unicode, or a surrogate,
// becomes U+FFFD.
void AppendUtf8(std::string& text, uint32_t codePoint);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or code points past U+10FFFF).
bool IsUtf8(std::string_view bytes);

// The bytes as they are when they are UTF-8; otherwise taken as
// Windows-1252 and converted.
std::string Utf8OrWindows1252(std::string_view bytes);

// A playlist file's bytes as UTF-8 text:
// - a UTF-8 byte-order mark is dropped (malformed bytes after it become
//   U+FFFD);
// - UTF-16 with a byte-order mark of either order, or without one when its
//   first two characters are ASCII with a zero byte beside each, is
//   converted; surrogate pairs are joined and lone surrogates become U+FFFD;
// - any other text ends at its first zero byte, as a C string, and is kept
//   when it is UTF-8, else converted from Windows-1252.
// UTF-16 text ends at its first U+0000 likewise.
std::string PlaylistTextAsUtf8(std::string_view bytes);

// ASCII case-folding comparisons: the keywords of every format are ASCII.
bool StartsWithNoCase(std::string_view text, std::string_view word);
bool EqualsNoCase(std::string_view text, std::string_view word);

// The value of a digit in `base` (up to 16, either case); -1 for none.
int DigitValue(char c, int base);

// The text without leading and trailing blanks (space, tab, CR, LF).
std::string_view TrimBlanks(std::string_view text);

// Every LF becomes CR LF.
std::string WithCarriageReturns(const std::string& text);

// Writes `text` with CR LF line ends into a new file that then replaces
// the old one, which stays as it was when that fails. False when the file
// cannot be created or not every byte reached it.
bool WriteTextFile(const char* path, const std::string& text);
