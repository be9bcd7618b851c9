#include "net/form_encoding.h"

std::string FormEncode(const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(value.size() + value.size() / 2);
  for (const char c : value) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                       byte == '~';
    if (plain) {
      encoded += c;
    } else if (byte == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
}
