// Shared body of the playlist fuzz targets: one reader over any text, held
// in a block of exactly its size so that any read past the end is caught.
// Whatever the reader accepts must be an entry the music player can take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/playlist.h"

// An entry the player can take: not empty, short enough, no control
// character, and either kept as written (UNC, drive or URL), a path from a
// file URL (starting at a root), or hanging from the base folder.
inline bool IsPlayableEntry(const std::string& entry, const std::string& base) {
  if (entry.empty() || entry.size() > kMaxPlaylistEntry) return false;
  for (char c : entry) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  const bool kept = entry[0] == '\\' || entry.find(':') != std::string::npos;
  return kept || entry.compare(0, base.size(), base) == 0;
}

inline void FuzzPlaylistReader(const uint8_t* data, size_t size, int format) {
  const std::vector<char> text(data, data + size);
  const std::string base = "/base/";
  for (bool decode : {true, false}) {
    Playlist list;
    list.decodeEntities = decode;
    const size_t found = list.ParseText(text.data(), text.size(), format, base);
    if (found != static_cast<size_t>(list.EntryCount())) __builtin_trap();
    for (int i = 0; i < list.EntryCount(); ++i) {
      const std::string entry = list.GetEntry(i);
      if (!IsPlayableEntry(entry, base)) __builtin_trap();
    }
  }
}
