#include "net/tag_reader.h"

#include <cstring>
#include <utility>

#include "foundation/text_search.h"

ParseXML::ParseXML(bool escapes) : escapes_(escapes) {}

void ParseXML::SetText(const char* text) {
  text_.clear();
  cursor_ = 0;
  // A backslash read last from the old text must not escape the new one.
  current_ = 0;
  previous_ = 0;
  atEnd_ = text == nullptr;
  if (text != nullptr) text_.assign(text, text + std::strlen(text) + 1);
}

char ParseXML::Read() {
  if (atEnd_) return 0;
  previous_ = current_;
  current_ = text_[cursor_++];
  if (current_ == '\0') atEnd_ = true;
  return current_;
}

ParseXMLTag ParseXML::NextTag() {
  ParseXMLTag tag;
  for (;;) {
    const char c = Read();
    if (atEnd_) return tag;
    if (c == '<' && !Escaped()) break;
  }
  std::string name;
  for (;;) {
    const char c = Read();
    if (atEnd_) return tag;
    if (c == '>' && !Escaped()) break;
    if (name.size() == kMaxTagText) {
      // No reply of ours has such a tag: whatever follows is not to be trusted.
      atEnd_ = true;
      return tag;
    }
    name += c;
  }
  tag.name = std::move(name);
  CollectContent(tag);
  tag.empty = false;
  return tag;
}

// Reads up to the closing tag "/name" (any case). A "<" starts a candidate
// for it; the candidate is given up as soon as it is longer than the closing
// text, so a long content costs no more than its own length.
void ParseXML::CollectContent(ParseXMLTag& tag) {
  const std::string closing = "/" + tag.name;
  std::string& content = tag.content;
  content.reserve(1024);
  std::string candidate;
  bool inCandidate = false;
  std::size_t candidateStart = 0;  // where its "<" went into the content
  for (;;) {
    const char c = Read();
    const bool escaped = Escaped();
    const unsigned char code = static_cast<unsigned char>(c);
    if (c == '<' && !escaped) {
      candidate.clear();
      inCandidate = true;
      candidateStart = content.size();
      content += c;
    } else if (c == '>' && !escaped) {
      const bool closes = inCandidate && EqualNoCase(candidate, closing);
      inCandidate = false;
      if (closes) {
        content.resize(candidateStart);
        return;
      }
      content += c;
    } else if (code >= 0x01 && code <= 0x1F) {
      // Dropped: neither content nor candidate.
    } else {
      if (!atEnd_) content += c;  // the terminating zero only ends the text
      if (inCandidate) {
        candidate += c;
        if (candidate.size() > closing.size()) {
          inCandidate = false;
          candidate.clear();
        }
      }
    }
    if (atEnd_) return;
  }
}
