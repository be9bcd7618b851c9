#include "audio/playlist_text.h"

#include <cstdio>

#include "bundle/file_helpers.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80..0x9F; the five unassigned bytes keep their C1
// control code, as Windows converts them. 0xA0..0xFF equal Latin-1.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view UpToZero(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
size_t Utf8SequenceLength(std::string_view bytes, size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (codePoint < kShortest[length] || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

// Well-formed sequences as they are, every other byte as U+FFFD.
std::string Utf8Repaired(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length == 0) {
      AppendUtf8(text, kReplacement);
      ++at;
    } else {
      text.append(bytes, at, length);
      at += length;
    }
  }
  return text;
}

uint32_t Utf16Unit(std::string_view bytes, size_t index, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[2 * index]);
  const auto second = static_cast<unsigned char>(bytes[2 * index + 1]);
  return bigEndian ? (first << 8u) | second : (second << 8u) | first;
}

bool IsSurrogate(uint32_t unit, uint32_t first) { return unit >= first && unit <= first + 0x3FF; }

std::string Utf16AsUtf8(std::string_view bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size());
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    const uint32_t unit = Utf16Unit(bytes, i, bigEndian);
    if (unit == 0) return text;
    if (IsSurrogate(unit, 0xD800) && i + 1 < units) {
      const uint32_t low = Utf16Unit(bytes, i + 1, bigEndian);
      if (IsSurrogate(low, 0xDC00)) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(text, unit);  // a lone surrogate becomes U+FFFD
  }
  if (bytes.size() % 2 != 0) AppendUtf8(text, kReplacement);  // half a unit at the end
  return text;
}

bool IsAsciiCharacter(unsigned char c) { return c > 0 && c < 0x80; }

// BOM-less UTF-16: the first two characters ASCII, each beside a zero byte.
// Read as 8-bit text such a file would end at its first or second byte, so
// taking it as UTF-16 loses nothing that a legacy file could hold.
bool LooksLikeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() < 4) return false;
  const size_t zero = bigEndian ? 0 : 1;
  for (size_t unit = 0; unit < 2; ++unit) {
    const auto* pair = reinterpret_cast<const unsigned char*>(bytes.data()) + 2 * unit;
    if (pair[zero] != 0 || !IsAsciiCharacter(pair[1 - zero])) return false;
  }
  return true;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

void AppendUtf8(std::string& text, uint32_t codePoint) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = kReplacement;
  if (codePoint < 0x80) {
    text += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    text += static_cast<char>(0xC0 | (codePoint >> 6));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    text += static_cast<char>(0xE0 | (codePoint >> 12));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (codePoint >> 18));
    text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

bool IsUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string Utf8OrWindows1252(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
  }
  return text;
}

std::string PlaylistTextAsUtf8(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8Repaired(UpToZero(bytes.substr(3)));
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16AsUtf8(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16AsUtf8(bytes.substr(2), true);
  if (LooksLikeUtf16(bytes, false)) return Utf16AsUtf8(bytes, false);
  if (LooksLikeUtf16(bytes, true)) return Utf16AsUtf8(bytes, true);
  return Utf8OrWindows1252(UpToZero(bytes));
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(word[i])) return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view text, std::string_view word) {
  return text.size() == word.size() && StartsWithNoCase(text, word);
}

int DigitValue(char c, int base) {
  int digit = base;
  if (c >= '0' && c <= '9') digit = c - '0';
  else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::string_view();
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string WithCarriageReturns(const std::string& text) {
  std::string stored;
  stored.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

bool WriteTextFile(const char* path, const std::string& text) {
  if (path == nullptr) return false;
  const std::string stored = WithCarriageReturns(text);
  return ReplaceFileContents(path, stored.data(), stored.size());
}
