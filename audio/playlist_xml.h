// Just enough XML for the playlist formats written as XML (ASX, WPL, B4S,
// BPL, XSPF): tags found one after another, the attributes of one tag, and
// character references. It is not a validating parser: it finds what it can
// in files that only resemble XML, and every step moves forward through the
// text, so a scan takes time in proportion to the text's length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Character references decoded in one pass: "&amp;", "&lt;", "&gt;",
// "&quot;", "&apos;", "&nbsp;" (a plain space, as in file names) and the
// numeric forms "&#65;" and "&#x41;" (to UTF-8). A reference that is unknown,
// malformed or names no character stays as written.
void DecodePlaylistEntities(std::string& value);

// One element tag: "<name" or "</name".
struct XmlTag {
  std::string_view name;
  bool closing = false;
  size_t afterName = 0;  // where its attributes begin
};

// The next element tag that starts at or after `from`; comments, CDATA
// sections, "<?...?>" and "<!...>" are passed over. False when none is left.
bool NextXmlTag(std::string_view text, size_t from, XmlTag& tag);

// Reads the attributes of a tag from `at` (its `afterName`) to its closing
// '>', values quoted with either quote character (or, leniently, unquoted).
// `value` receives the first attribute called `name`, ignoring case. False
// when the text ends inside the tag; otherwise `at` is moved past the tag.
bool ReadXmlAttribute(std::string_view text, size_t& at, std::string_view name,
                      std::optional<std::string_view>& value);
