// A playlist file's bytes as they arrive from disk: the encoding found from
// byte-order marks, zero bytes or invalid UTF-8 and converted, the format
// taken from the content or from the name (chosen by the first byte), then
// that format's reader. Whatever the encoding, the text and every entry
// must be UTF-8.
#include "audio/playlist_text.h"
#include "tests/fuzz/fuzz_playlist_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kNames[] = {"list.m3u", "list.m3u8", "list.pls", "list.asx",
                                       "list.wax", "list.wpl",  "list.b4s", "list.bpl",
                                       "list.xspf", "list.txt", "list"};
  constexpr size_t kNameCount = sizeof(kNames) / sizeof(kNames[0]);
  if (size == 0) return 0;
  const std::string name = kNames[data[0] % kNameCount];
  const std::vector<char> bytes(data + 1, data + size);
  const std::string_view file(bytes.data(), bytes.size());

  const std::string text = PlaylistTextAsUtf8(file);
  if (!IsUtf8(text) || text.find('\0') != std::string::npos) __builtin_trap();
  // Text that is already UTF-8, without a mark or a zero byte, stays as it is.
  if (file.find('\0') == std::string_view::npos && IsUtf8(file) &&
      file.compare(0, 3, "\xEF\xBB\xBF") != 0 && text != file)
    __builtin_trap();

  const std::string base = "/base/";
  Playlist list;
  const size_t found = list.ParseFileBytes(file, name, base);
  if (list.type < kPlaylistM3U || list.type > kPlaylistXSPF) __builtin_trap();
  if (found != static_cast<size_t>(list.EntryCount())) __builtin_trap();
  for (int i = 0; i < list.EntryCount(); ++i) {
    const std::string entry = list.GetEntry(i);
    if (!IsPlayableEntry(entry, base) || !IsUtf8(entry)) __builtin_trap();
  }
  return 0;
}
