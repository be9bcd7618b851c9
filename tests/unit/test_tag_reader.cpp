#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/tag_reader.h"

namespace {

using Tags = std::vector<std::pair<std::string, std::string>>;

// Every tag up to the first empty one, read from a heap block of exactly the
// text's size (its zero included), so that reading past it is caught.
Tags ReadAll(const std::string& text, bool escapes = true) {
  std::unique_ptr<char[]> block(new char[text.size() + 1]);
  std::memcpy(block.get(), text.c_str(), text.size() + 1);
  ParseXML reader(escapes);
  reader.SetText(block.get());
  block.reset();  // the reader holds its own copy
  Tags tags;
  for (ParseXMLTag tag = reader.NextTag(); !tag.empty; tag = reader.NextTag()) {
    if (tags.size() > text.size()) break;  // no tag without a "<": a loop
    tags.emplace_back(tag.name, tag.content);
  }
  EXPECT_TRUE(reader.NextTag().empty) << "an empty tag stays the last";
  return tags;
}

}  // namespace

TEST(TagReader, FlatElementsInTurn) {
  EXPECT_EQ(ReadAll("<msg>Hello</msg><link>x</link>"),
            (Tags{{"msg", "Hello"}, {"link", "x"}}));
  // Text between elements is skipped; an element may be empty.
  EXPECT_EQ(ReadAll("junk <a></a> more <b>1 > 0</b>\r\n"), (Tags{{"a", ""}, {"b", "1 > 0"}}));
}

TEST(TagReader, ClosingTagMatchesIgnoringCase) {
  EXPECT_EQ(ReadAll("<MSG>Hi</msg><Link>y</LINK>"), (Tags{{"MSG", "Hi"}, {"Link", "y"}}));
}

TEST(TagReader, ControlCharactersLeaveContentsButStayInTagTexts) {
  EXPECT_EQ(ReadAll("<msg>a\r\nb\tc\x1f" "d</msg>"), (Tags{{"msg", "abcd"}}));
  // Inside the closing tag too: the candidate never sees them.
  EXPECT_EQ(ReadAll("<m>a</\r\nm>"), (Tags{{"m", "a"}}));
  // A tag text keeps them, so its closing tag (read without them) never matches.
  EXPECT_EQ(ReadAll("<m\r\n>a</m\r\n><b>c</b>"), (Tags{{"m\r\n", "a</m><b>c</b>"}}));
}

TEST(TagReader, NestedElementsStayInTheContent) {
  EXPECT_EQ(ReadAll("<a>1<b>2</b>3</a><c>4</c>"), (Tags{{"a", "1<b>2</b>3"}, {"c", "4"}}));
  // A second reader over the content takes the inner element apart.
  EXPECT_EQ(ReadAll("1<b>2</b>3"), (Tags{{"b", "2"}}));
}

TEST(TagReader, AttributesNeverFindTheirClosingTag) {
  EXPECT_EQ(ReadAll("<msg id=\"1\">Hi</msg><link>x</link>"),
            (Tags{{"msg id=\"1\"", "Hi</msg><link>x</link>"}}));
}

TEST(TagReader, MissingOrBrokenTags) {
  EXPECT_EQ(ReadAll("no tags at all"), Tags{});
  EXPECT_EQ(ReadAll(""), Tags{});
  // Contents that run to the end never carry the text's terminating zero.
  EXPECT_EQ(ReadAll("<msg>runs to the end"), (Tags{{"msg", "runs to the end"}}));
  EXPECT_EQ(ReadAll("<msg>"), (Tags{{"msg", ""}}));
  EXPECT_EQ(ReadAll("<a>x</a><unterminated"), (Tags{{"a", "x"}}));
  EXPECT_EQ(ReadAll("<"), Tags{});
  EXPECT_EQ(ReadAll("<>x</>"), (Tags{{"", "x"}}));
  // A closing tag with something after the name is no closing tag.
  EXPECT_EQ(ReadAll("<a>x</ab>y</a >z</a>"), (Tags{{"a", "x</ab>y</a >z"}}));
  // A candidate cut short by a new "<" starts again there.
  EXPECT_EQ(ReadAll("<a>x</<</a>"), (Tags{{"a", "x</<"}}));
}

TEST(TagReader, BackslashEscapesBrackets) {
  // Stored with its backslash, and it starts no closing tag.
  EXPECT_EQ(ReadAll("<m>a\\<b</m>"), (Tags{{"m", "a\\<b"}}));
  EXPECT_EQ(ReadAll("<m>x\\</m>y</m>"), (Tags{{"m", "x\\</m>y"}}));
  // An escaped ">" belongs to the tag text, and to its closing tag.
  EXPECT_EQ(ReadAll("<a\\>b>c</a\\>b>"), (Tags{{"a\\>b", "c"}}));
  // An escaped "<" before the first tag is skipped like any text.
  EXPECT_EQ(ReadAll("\\<x>junk<m>v</m>"), (Tags{{"m", "v"}}));
}

TEST(TagReader, WithoutEscapesEveryBracketCounts) {
  // The stray closing tag left over is read as a tag of its own.
  EXPECT_EQ(ReadAll("<m>x\\</m>y</m>", false), (Tags{{"m", "x\\"}, {"/m", ""}}));
  EXPECT_EQ(ReadAll("<a\\>b>c</a\\>", false), (Tags{{"a\\", "b>c"}}));
  EXPECT_EQ(ReadAll("\\<m>v</m>", false), (Tags{{"m", "v"}}));
}

TEST(TagReader, LongContentsAndTagTexts) {
  const std::string big(100000, 'x');
  EXPECT_EQ(ReadAll("<m>" + big + "</m><n>1</n>"), (Tags{{"m", big}, {"n", "1"}}));
  // Many almost-closing tags in a row.
  std::string near;
  for (int i = 0; i < 2000; ++i) near += "</mm>";
  EXPECT_EQ(ReadAll("<m>" + near + "</M>"), (Tags{{"m", near}}));

  const std::string longest(ParseXML::kMaxTagText, 'n');
  EXPECT_EQ(ReadAll("<" + longest + ">v</" + longest + "><b>2</b>"),
            (Tags{{longest, "v"}, {"b", "2"}}));
  // One more character ends the scan: nothing after it is read.
  EXPECT_EQ(ReadAll("<a>1</a><" + longest + "n>v</" + longest + "n><b>2</b>"),
            (Tags{{"a", "1"}}));
  EXPECT_EQ(ReadAll("<" + std::string(50000, 'n')), Tags{});
}

TEST(TagReader, UnloadedAndReloaded) {
  ParseXML reader;
  EXPECT_TRUE(reader.NextTag().empty);
  reader.SetText("<a>1</a><b>2</b>");
  EXPECT_EQ(reader.NextTag().content, "1");
  // New text starts over at its beginning.
  reader.SetText("<c>3</c>");
  const ParseXMLTag c = reader.NextTag();
  EXPECT_FALSE(c.empty);
  EXPECT_EQ(c.name, "c");
  EXPECT_TRUE(reader.NextTag().empty);
  reader.SetText(nullptr);
  EXPECT_TRUE(reader.NextTag().empty);

  // A scan that stopped right after a backslash does not escape the next
  // text's first "<".
  reader.SetText(("<" + std::string(ParseXML::kMaxTagText, 'n') + "\\").c_str());
  EXPECT_TRUE(reader.NextTag().empty);
  reader.SetText("<d>4</d>");
  EXPECT_EQ(reader.NextTag().name, "d");
}
