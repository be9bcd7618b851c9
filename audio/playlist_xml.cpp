#include "audio/playlist_xml.h"

#include <cstdint>

#include "audio/playlist_text.h"

namespace {

// Longest reference name looked at after "&": "#x0010FFFF" and a little
// more. Looking no further keeps decoding linear when ';' never comes.
constexpr size_t kLongestReference = 12;

// The character that the name between "&" and ";" stands for.
std::optional<uint32_t> ReferencedCharacter(std::string_view name) {
  static const struct {
    std::string_view name;
    char character;
  } kNamed[] = {{"amp", '&'},   {"lt", '<'},    {"gt", '>'},
                {"quot", '"'},  {"apos", '\''}, {"nbsp", ' '}};
  for (const auto& named : kNamed) {
    if (name == named.name) return static_cast<uint32_t>(named.character);
  }
  if (name.size() < 2 || name[0] != '#') return std::nullopt;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return std::nullopt;
  uint32_t codePoint = 0;
  for (char c : digits) {
    const int digit = DigitValue(c, hex ? 16 : 10);
    if (digit < 0) return std::nullopt;
    codePoint = codePoint * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    if (codePoint > 0x10FFFF) return std::nullopt;
  }
  if (codePoint == 0 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return std::nullopt;
  return codePoint;
}

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

size_t SkipXmlBlanks(std::string_view text, size_t at) {
  while (at < text.size() && IsXmlBlank(text[at])) ++at;
  return at;
}

// Names end at blanks and at the characters that delimit tags and values.
size_t NameEnd(std::string_view text, size_t at) {
  while (at < text.size() && !IsXmlBlank(text[at]) &&
         std::string_view("<>/='\"").find(text[at]) == std::string_view::npos)
    ++at;
  return at;
}

// Past `closer` when it follows `from`; npos when the text ends first.
size_t Past(std::string_view text, size_t from, std::string_view closer) {
  const size_t at = text.find(closer, from);
  return at == std::string_view::npos ? at : at + closer.size();
}

}  // namespace

void DecodePlaylistEntities(std::string& value) {
  if (value.find('&') == std::string::npos) return;
  std::string decoded;
  decoded.reserve(value.size());
  size_t at = 0;
  while (at < value.size()) {
    const size_t ampersand = value.find('&', at);
    if (ampersand == std::string::npos) {
      decoded.append(value, at, std::string::npos);
      break;
    }
    decoded.append(value, at, ampersand - at);
    const std::string_view window = std::string_view(value).substr(ampersand + 1, kLongestReference);
    const size_t semicolon = window.find(';');
    const std::optional<uint32_t> character =
        semicolon == std::string_view::npos ? std::nullopt
                                            : ReferencedCharacter(window.substr(0, semicolon));
    if (character) {
      AppendUtf8(decoded, *character);
      at = ampersand + semicolon + 2;
    } else {
      decoded += '&';
      at = ampersand + 1;
    }
  }
  value.swap(decoded);
}

bool NextXmlTag(std::string_view text, size_t from, XmlTag& tag) {
  size_t at = from;
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const std::string_view rest = text.substr(at);
    if (rest.compare(0, 4, "<!--") == 0) {
      at = Past(text, at + 4, "-->");
    } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
      at = Past(text, at + 9, "]]>");
    } else if (rest.compare(0, 2, "<?") == 0 || rest.compare(0, 2, "<!") == 0) {
      at = Past(text, at + 2, ">");
    } else {
      const bool closing = rest.compare(0, 2, "</") == 0;
      const size_t nameStart = at + (closing ? 2 : 1);
      const size_t nameEnd = NameEnd(text, nameStart);
      if (nameEnd > nameStart) {
        tag.name = text.substr(nameStart, nameEnd - nameStart);
        tag.closing = closing;
        tag.afterName = nameEnd;
        return true;
      }
      ++at;  // a lone '<'
    }
    if (at == std::string_view::npos) return false;
  }
  return false;
}

bool ReadXmlAttribute(std::string_view text, size_t& at, std::string_view name,
                      std::optional<std::string_view>& value) {
  value.reset();
  while (true) {
    at = SkipXmlBlanks(text, at);
    if (at >= text.size()) return false;
    if (text[at] == '>') {
      ++at;
      return true;
    }
    const size_t nameEnd = NameEnd(text, at);
    const std::string_view attribute = text.substr(at, nameEnd - at);
    at = SkipXmlBlanks(text, nameEnd);
    if (at >= text.size()) return false;
    if (text[at] != '=') {
      if (attribute.empty()) ++at;  // a stray '/', '<' or quote
      continue;
    }
    at = SkipXmlBlanks(text, at + 1);
    if (at >= text.size()) return false;
    std::string_view found;
    const char quote = text[at];
    if (quote == '"' || quote == '\'') {
      const size_t close = text.find(quote, at + 1);
      if (close == std::string_view::npos) return false;
      found = text.substr(at + 1, close - at - 1);
      at = close + 1;
    } else {
      size_t end = at;
      while (end < text.size() && !IsXmlBlank(text[end]) && text[end] != '>') ++end;
      found = text.substr(at, end - at);
      at = end;
    }
    if (!value && !attribute.empty() && EqualsNoCase(attribute, name)) value = found;
  }
}
