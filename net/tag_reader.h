// A very small scanner for flat, tag-delimited text, as the web server's
// replies to the update check and the error report are written: a sequence
// of elements, each an opening tag, some text and a closing tag with a slash.
// It hands out one tag at a time with everything up to its closing tag. It
// knows no attributes, entities, declarations or nesting: a caller that
// wants nested tags runs a second scanner over a tag's content.
//
// Control characters (0x01-0x1F) are dropped from contents, so line breaks
// the server adds between letters vanish; tag names keep them. With escapes,
// a "<" or ">" right after a backslash is plain text (the backslash stays).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ParseXMLTag {
 public:
  ParseXMLTag() = default;
  ParseXMLTag(const ParseXMLTag&) = default;
  ParseXMLTag& operator=(const ParseXMLTag&) = default;
  ParseXMLTag(ParseXMLTag&&) = default;
  ParseXMLTag& operator=(ParseXMLTag&&) = default;
  virtual ~ParseXMLTag() = default;

  // True when no tag was found: the input is exhausted.
  bool empty = true;
  // Everything between "<" and ">", attributes included.
  std::string name;
  // The text after ">" up to the matching closing tag (or the input's end).
  std::string content;
};

class ParseXML {
 public:
  // Longest tag text taken; a longer one ends the scan.
  static constexpr std::size_t kMaxTagText = 1022;

  explicit ParseXML(bool escapes = true);
  virtual ~ParseXML() = default;

  // Takes a copy of the text and starts at its beginning. Null unloads the
  // scanner: NextTag then returns an empty tag at once.
  void SetText(const char* text);

  // The next element, or a tag with `empty` set when the input is exhausted.
  ParseXMLTag NextTag();

 private:
  // The next character, 0 once the terminating zero has been read.
  char Read();
  bool Escaped() const { return escapes_ && previous_ == '\\'; }
  void CollectContent(ParseXMLTag& tag);

  bool escapes_;
  std::vector<char> text_;  // the copy, terminating zero included
  std::size_t cursor_ = 0;
  char current_ = 0;
  char previous_ = 0;
  bool atEnd_ = true;
};
