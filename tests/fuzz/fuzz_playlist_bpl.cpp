// The BPL reader over any text a user's playlist file may hold.
#include "tests/fuzz/fuzz_playlist_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPlaylistReader(data, size, kPlaylistBPL);
  return 0;
}
