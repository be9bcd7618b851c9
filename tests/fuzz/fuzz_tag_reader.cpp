// The tag reader over any text a web server or a proxy in between may send,
// with and without the escape rule, held in a block of exactly its size so
// that any read past the end is caught. Contents are read again as nested
// text, as a caller of nested tags would.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "net/tag_reader.h"

namespace {

void ReadAll(const char* text, bool escapes, int depth) {
  const std::size_t length = std::strlen(text);
  std::size_t brackets = 0;
  for (std::size_t i = 0; i < length; ++i) brackets += text[i] == '<';

  ParseXML reader(escapes);
  reader.SetText(text);
  std::size_t tags = 0;
  for (ParseXMLTag tag = reader.NextTag(); !tag.empty; tag = reader.NextTag()) {
    // Every tag takes at least one "<" of its own.
    if (++tags > brackets) __builtin_trap();
    if (tag.name.size() > ParseXML::kMaxTagText) __builtin_trap();
    if (!escapes && tag.name.find('>') != std::string::npos) __builtin_trap();
    if (tag.content.size() > length) __builtin_trap();
    for (char c : tag.content) {
      const unsigned char code = static_cast<unsigned char>(c);
      if (code <= 0x1F) __builtin_trap();
    }
    if (depth < 2) ReadAll(tag.content.c_str(), escapes, depth + 1);
  }
  if (!reader.NextTag().empty) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';
  ReadAll(text.get(), true, 0);
  ReadAll(text.get(), false, 0);
  return 0;
}
