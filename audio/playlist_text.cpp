#include "audio/playlist_text.h"

#include <cstdio>

#include "foundation/shared_file.h"

void DropCarriageReturns(std::string& text) {
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
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

bool ReadTextFile(const char* path, std::string& text) {
  if (!ReadWholeFile(path, text)) return false;
  DropCarriageReturns(text);
  return true;
}

bool WriteTextFile(const char* path, const std::string& text) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const std::string stored = WithCarriageReturns(text);
  const bool written = std::fwrite(stored.data(), 1, stored.size(), file) == stored.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}
