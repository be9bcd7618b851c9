// Shared body of the playlist fuzz targets: one reader over text as it
// arrives from a file (CR LF already folded), held in a block of exactly its
// size so that any read past the end is caught. Whatever the reader accepts
// must be an entry the music player can take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/playlist.h"
#include "audio/playlist_text.h"

inline void FuzzPlaylistReader(const uint8_t* data, size_t size, int format) {
  std::string folded(reinterpret_cast<const char*>(data), size);
  DropCarriageReturns(folded);
  const std::vector<char> text(folded.begin(), folded.end());
  const std::string base = "/base/";
  const bool quoted = format != kPlaylistM3U && format != kPlaylistPLS;

  for (bool decode : {true, false}) {
    Playlist list;
    list.decodeEntities = decode;
    const size_t found = list.ParseText(text.data(), text.size(), format, base);
    if (found != static_cast<size_t>(list.EntryCount())) __builtin_trap();
    for (int i = 0; i < list.EntryCount(); ++i) {
      const std::string entry = list.GetEntry(i);
      if (entry.size() > kMaxPlaylistEntry) __builtin_trap();
      const bool kept = entry.compare(0, 2, "\\\\") == 0 || entry.find(':') != std::string::npos;
      if (!kept && entry.compare(0, base.size(), base) != 0) __builtin_trap();
      // Line readers never join lines; quoted values end at a quote.
      if (!quoted && entry.find('\n') != std::string::npos) __builtin_trap();
      if (quoted && !decode && entry.find('"') != std::string::npos) __builtin_trap();
    }
  }
}
