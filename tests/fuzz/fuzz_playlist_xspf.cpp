// The XSPF reader over any text a user's playlist file may hold: tracks,
// locations, character references and the URIs they hold.
#include "tests/fuzz/fuzz_playlist_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPlaylistReader(data, size, kPlaylistXSPF);
  return 0;
}
