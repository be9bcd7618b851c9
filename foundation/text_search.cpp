#include "foundation/text_search.h"

#include <cctype>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::size_t ContainsNoCase(const std::string& text, const std::string& pattern) {
  if (pattern.size() > text.size()) return std::string::npos;
  for (std::size_t start = 0; start + pattern.size() <= text.size(); ++start) {
    std::size_t k = 0;
    while (k < pattern.size() && Lower(text[start + k]) == Lower(pattern[k])) ++k;
    if (k == pattern.size()) return start;
  }
  return std::string::npos;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}
