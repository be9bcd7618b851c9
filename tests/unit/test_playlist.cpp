#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/playlist.h"
#include "audio/playlist_paths.h"
#include "audio/playlist_text.h"
#include "audio/playlist_xml.h"

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;

Entries EntriesOf(const Playlist& list) {
  Entries entries;
  for (int i = 0; i < list.EntryCount(); ++i) entries.push_back(list.GetEntry(i));
  return entries;
}

// Parses from a heap block of exactly the text's size, so that reading past
// its end is caught by the address checker.
Entries ParseExact(const std::string& text, int format, bool decode = true) {
  std::unique_ptr<char[]> block(new char[text.size()]);
  std::memcpy(block.get(), text.data(), text.size());
  Playlist list;
  list.decodeEntities = decode;
  list.ParseText(block.get(), text.size(), format, "C:\\L\\");
  return EntriesOf(list);
}

class PlaylistFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zv_playlist_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = std::string(pattern) + "/";
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir + name, std::ios::binary) << bytes;
    return dir + name;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Entries Load(const std::string& name, const std::string& bytes) {
    Playlist list(Write(name, bytes).c_str());
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.baseDir, dir);
    return EntriesOf(list);
  }

  std::string dir;
};

TEST_F(PlaylistFiles, M3UWithExtendedInfoAndRelativePaths) {
  const Entries entries = Load("mix.m3u",
      "#EXTM3U\r\n#EXTINF:215,Artist - Song\r\nMusic\\song one.mp3\r\n#EXTINF:-1,Other\r\n"
      "\\Music\\two.ogg\r\n\r\n   # indented comment\r\n  C:\\Music\\three.mp3\r\n"
      "\\\\server\\share\\four.mp3\r\nhttp://radio.example/stream\r\n   \r\n");
  EXPECT_EQ(entries, (Entries{dir + "Music\\song one.mp3", dir + "Music\\two.ogg",
                              "C:\\Music\\three.mp3", "\\\\server\\share\\four.mp3",
                              "http://radio.example/stream"}));
}

TEST_F(PlaylistFiles, WinampStylePls) {
  EXPECT_EQ(Load("radio.pls",
                 "[playlist]\r\nFile1=C:\\Music\\a.mp3\r\nTitle1=A\r\nLength1=200\r\n"
                 "file2=  b.mp3\r\nTitle2=B\r\nLength2=-1\r\nFile3 C:\\no-value.mp3\r\n"
                 "NumberOfEntries=3\r\nVersion=2\r\n"),
            (Entries{"C:\\Music\\a.mp3", dir + "b.mp3"}));
}

TEST_F(PlaylistFiles, PlsIsVersionTwoWhenItHasFileKeys) {
  EXPECT_EQ(Load("top.pls", "[playlist]\r\nVersion=2\r\nFile1=a.mp3\r\nNumberOfEntries=1\r\n"),
            (Entries{dir + "a.mp3"}));
  // "FileName" is no numbered key: without one every line is a value.
  EXPECT_EQ(Load("old.pls", "[playlist]\nFileName=x\n\t C:\\a.mp3 \n"),
            (Entries{dir + "FileName=x", "C:\\a.mp3"}));
}

TEST_F(PlaylistFiles, B4SAndBplPlaystrings) {
  const std::string b4s =
      "<?xml version=\"1.0\" encoding='UTF-8' standalone=\"yes\"?>\r\n<WinampXML>\r\n"
      "<playlist num_entries=\"3\" label=\"Mix\">\r\n"
      "<entry Playstring=\"file:C:\\Music\\a.mp3\">\r\n<Name>A</Name>\r\n</entry>\r\n"
      "<entry Playstring=\"file:Music\\Rock &apos;n&apos; Roll.mp3\">\r\n</entry>\r\n"
      "<entry Playstring=\"http://radio.example:8000/live\">\r\n</entry>\r\n"
      "</playlist>\r\n</WinampXML>\r\n";
  EXPECT_EQ(Load("mix.b4s", b4s), (Entries{"C:\\Music\\a.mp3", dir + "Music\\Rock 'n' Roll.mp3",
                                           "http://radio.example:8000/live"}));
  EXPECT_EQ(ParseExact(b4s, kPlaylistB4S, false)[1], "C:\\L\\Music\\Rock &apos;n&apos; Roll.mp3");
  EXPECT_EQ(Load("list.bpl",
                 "<?xml version=\"1.0\"?>\r\n<playlist>\r\n"
                 "<item PLAYSTRING=\"FILE: D:\\Songs\\one.mp3\" title=\"One\"/>\r\n"
                 "<item playstring = \"  two.wav\"/>\r\n</playlist>\r\n"),
            (Entries{"D:\\Songs\\one.mp3", dir + "two.wav"}));
}

TEST_F(PlaylistFiles, AsxTakesTheHrefOfRefsOnly) {
  EXPECT_EQ(Load("radio.asx",
                 "<asx version=\"3.0\">\r\n<title>Radio</title>\r\n<entry>\r\n"
                 "<ref href=\"C:\\Music\\song.wma\"/>\r\n</entry>\r\n"
                 "<entry><ref HREF = \"mms://media.example/live\"/></entry>\r\n"
                 "<moreinfo href=\"\\Music\\info.asf\"/>\r\n</asx>\r\n"),
            (Entries{"C:\\Music\\song.wma", "mms://media.example/live"}));
  // Either quote; '>' may stand inside a value; an unclosed quote ends the scan.
  EXPECT_EQ(ParseExact("<ref a='x\"' href='C:\\a>b.wma'/><ref\nhref=\"a:1\"><ref href='a:2\"/>",
                       kPlaylistASX),
            (Entries{"C:\\a>b.wma", "a:1"}));
}

TEST_F(PlaylistFiles, WplTakesTheSrcOfMedia) {
  EXPECT_EQ(Load("mine.wpl",
                 "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n"
                 "<meta name=\"Generator\" content=\"Player -- 9.0\"/>\r\n</head>\r\n<body>\r\n"
                 "<seq>\r\n<media src=\"..\\Music\\b.wma\" tid=\"{A1B2}\"/>\r\n"
                 "<media src=\"C:\\Music\\Dad&apos;s &quot;Song&quot;.wma\" tid=\"{C3}\"/>\r\n"
                 "<media  src=\"spaced.wma\"/>\r\n<media source=\"no.wma\"/>\r\n"
                 "</seq>\r\n</body>\r\n</smil>\r\n"),
            (Entries{dir + "..\\Music\\b.wma", "C:\\Music\\Dad's \"Song\".wma", dir + "spaced.wma"}));
}

TEST(PlaylistValues, Resolution) {
  PlaylistScan scan;
  scan.baseDir = "C:\\Lists\\";
  EXPECT_EQ(ResolvePlaylistValue("\\\\srv\\x.mp3", scan), "\\\\srv\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("D:\\x.mp3", scan), "D:\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("a:b", scan), "a:b");
  EXPECT_EQ(ResolvePlaylistValue("\\x.mp3", scan), "C:\\Lists\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("/x.mp3", scan), "C:\\Lists\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("//srv/x ", scan), "C:\\Lists\\/srv/x ");
  EXPECT_EQ(ResolvePlaylistValue("sub/x.mp3", scan), "C:\\Lists\\sub/x.mp3");
}

std::string Decoded(std::string value) {
  DecodePlaylistEntities(value);
  return value;
}

TEST(PlaylistValues, CharacterReferences) {
  EXPECT_EQ(Decoded("&apos;&quot;&nbsp;|&amp;&APOS;&apos"), "'\" |&&APOS;&apos");
  EXPECT_EQ(Decoded("&amp;lt; &lt;&gt;"), "&lt; <>");  // one pass: no double decoding
  EXPECT_EQ(Decoded("&#65;&#x42;&#X43;&#233;&#x661F;&#x1D11E;"), "ABC\u00e9\u661f\U0001D11E");
  for (const char* kept : {"&#;", "&#x;", "&#0;", "&#xD800;", "&#1114112;", "&#12a;", "&unknown;",
                           "& amp;", "&&amp", "&#x00000000041;"})
    EXPECT_EQ(Decoded(kept), kept);
  // Many ampersands without a ';': each is looked at once.
  const std::string crafted = std::string(1 << 20, '&') + "&#x" + std::string(1 << 20, '1');
  EXPECT_EQ(Decoded(crafted), crafted);
}

TEST(PlaylistValues, FormatFromExtension) {
  EXPECT_EQ(PlaylistTypeFromPath("C:\\LIST.M3U", 3), kPlaylistM3U);
  EXPECT_EQ(PlaylistTypeFromPath("a.B4s", 1), kPlaylistB4S);
  EXPECT_EQ(PlaylistTypeFromPath("a.Pls", 1), kPlaylistPLS);
  EXPECT_EQ(PlaylistTypeFromPath("a.asx", 1), kPlaylistASX);
  EXPECT_EQ(PlaylistTypeFromPath("a.WPL", 1), kPlaylistWPL);
  EXPECT_EQ(PlaylistTypeFromPath("a.bpl", 1), kPlaylistBPL);
  EXPECT_EQ(PlaylistTypeFromPath("a.M3U8", 2), kPlaylistM3U);
  EXPECT_EQ(PlaylistTypeFromPath("a.wax", 1), kPlaylistASX);
  EXPECT_EQ(PlaylistTypeFromPath("a.WVX", 1), kPlaylistASX);
  EXPECT_EQ(PlaylistTypeFromPath("a.xspf", 1), kPlaylistXSPF);
  for (const char* other : {"a.txt", "a.m3u9", "a.pl", "noext", "C:\\a.pls\\list", "a.pls."})
    EXPECT_EQ(PlaylistTypeFromPath(other, 4), 4) << other;
}

TEST_F(PlaylistFiles, UnlistedExtensionReadsAsDefaultTypeUnlessTheContentSays) {
  const std::string path = Write("list.txt", "File1=C:\\a.mp3\nVersion=2");
  Playlist list(path.c_str());
  EXPECT_EQ(list.type, kPlaylistM3U);
  EXPECT_EQ(EntriesOf(list), (Entries{"File1=C:\\a.mp3", dir + "Version=2"}));
  Playlist pls;
  pls.defaultType = kPlaylistPLS;
  ASSERT_TRUE(pls.LoadPlaylist(path.c_str()));
  EXPECT_EQ(pls.type, kPlaylistPLS);
  EXPECT_EQ(EntriesOf(pls), (Entries{"C:\\a.mp3"}));

  Playlist sniffed(Write("list.txt", "\r\n [Playlist]\nFile1=C:\\b.mp3\n").c_str());
  EXPECT_EQ(sniffed.type, kPlaylistPLS);
  EXPECT_EQ(EntriesOf(sniffed), (Entries{"C:\\b.mp3"}));
}

TEST(PlaylistValues, FormatFromContent) {
  const std::pair<const char*, int> cases[] = {
      {"<ASX version=\"3.0\"><entry/></ASX>", kPlaylistASX},
      {"<?wpl version=\"1.0\"?>\r\n<smil><head/></smil>", kPlaylistWPL},
      {"<?xml version=\"1.0\"?><!-- list --><!DOCTYPE x><WinampXML>", kPlaylistB4S},
      {"<playlist version=\"1\" xmlns='http://xspf.org/ns/0/'>", kPlaylistXSPF},
      {"<playlist version=\"1\">", 0},
      {"<playlist xmlns=\"http://example.org/other\">", 0},
      {"<playlist><item playstring=\"a.mp3\"/></playlist>", 0},
      {"  \n[PLAYLIST]\nFile1=a", kPlaylistPLS},
      {"#EXTM3U\n[playlist]\n<asx>", 0},
      {"<smiley>", 0},
      {"</asx>", 0},
      {"", 0}};
  for (const auto& [text, type] : cases) EXPECT_EQ(PlaylistTypeFromContent(text), type) << text;
}

TEST_F(PlaylistFiles, StatusCodesAndKeptEntries) {
  Playlist list;
  EXPECT_FALSE(list.LoadPlaylist(nullptr));
  EXPECT_EQ(list.status, 1);
  EXPECT_FALSE(list.LoadPlaylist(std::string(2000, 'a').c_str()));
  EXPECT_EQ(list.status, 2);

  list.AddEntry("C:\\kept.mp3");
  EXPECT_TRUE(list.LoadPlaylist(Write("empty.m3u", "#EXTM3U\r\n").c_str()));
  EXPECT_EQ(EntriesOf(list), (Entries{"C:\\kept.mp3"}));  // nothing found: entries stay

  EXPECT_FALSE(list.LoadPlaylist((dir + "missing.m3u").c_str()));
  EXPECT_EQ(list.status, 3);
  EXPECT_EQ(list.path, dir + "missing.m3u");
  EXPECT_EQ(list.EntryCount(), 0);  // a previous read clears first
  EXPECT_FALSE(list.LoadPlaylist(dir.c_str()));  // a folder cannot be read
  EXPECT_EQ(list.status, 3);

  list.Clear();
  EXPECT_TRUE(list.path.empty() && list.baseDir.empty());
  EXPECT_EQ(list.type, 0);
  EXPECT_EQ(list.status, 0);
}

TEST_F(PlaylistFiles, SavedTextsAreExactAndReadBack) {
  Playlist list;
  const char* entries[] = {"C:\\Music\\a.mp3", "\\\\srv\\share\\my.dir\\Song Two.ogg",
                           "http://radio.example/live"};
  list.AddEntries(entries, 3);
  ASSERT_TRUE(list.SavePlaylist((dir + "out.m3u").c_str(), kPlaylistM3U));
  EXPECT_EQ(Read("out.m3u"),
            "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1,a\r\nC:\\Music\\a.mp3\r\n#EXTINF:-1,Song Two\r\n"
            "\\\\srv\\share\\my.dir\\Song Two.ogg\r\n#EXTINF:-1,live\r\nhttp://radio.example/live\r\n");
  ASSERT_TRUE(list.SavePlaylist((dir + "out.pls").c_str(), kPlaylistPLS));
  EXPECT_EQ(Read("out.pls"),
            "[playlist]\r\nPlaylistName=Quorrin playlist\r\nFile1=C:\\Music\\a.mp3\r\nTitle1=a\r\n"
            "File2=\\\\srv\\share\\my.dir\\Song Two.ogg\r\nTitle2=Song Two\r\n"
            "File3=http://radio.example/live\r\nTitle3=live\r\nNumberOfEntries=3\r\nVersion=2");
  for (const char* name : {"out.m3u", "out.pls"})
    EXPECT_EQ(EntriesOf(Playlist((dir + name).c_str())), Entries(entries, entries + 3)) << name;
}

TEST_F(PlaylistFiles, NamesInAnyScriptSurviveASaveWithLongTitlesCutBetweenLetters) {
  // "a" and 200 three-byte letters: the title limit falls inside one.
  std::string longName = "a";
  for (int i = 0; i < 200; ++i) longName += "\xE6\x98\x9F";  // 星
  const std::string entries[] = {"C:\\Sternenlicht \xE2\x80\x93 Gr\xC3\xB6\xC3\x9F" "e\\lied.ogg",
                                 "C:\\\xE6\x98\x9F\xE7\xA9\xBA\\" + longName + ".mp3"};
  Playlist list;
  for (const std::string& entry : entries) list.AddEntry(entry.c_str());
  ASSERT_TRUE(list.SavePlaylist((dir + "names.m3u").c_str(), kPlaylistM3U));
  const std::string saved = Read("names.m3u");
  const size_t title = saved.find("#EXTINF:-1,a\xE6\x98\x9F");
  ASSERT_NE(title, std::string::npos);
  const size_t titleEnd = saved.find('\r', title);
  EXPECT_EQ((titleEnd - title - 12) % 3, 0u) << "a letter was cut";
  EXPECT_EQ(EntriesOf(Playlist((dir + "names.m3u").c_str())), Entries(entries, entries + 2));
}

TEST_F(PlaylistFiles, SaveRefusals) {
  Playlist empty;
  EXPECT_FALSE(empty.SavePlaylist((dir + "none.m3u").c_str(), kPlaylistM3U));
  Playlist list;
  list.AddEntry((dir + std::string(300, 't') + ".mp3").c_str());
  EXPECT_FALSE(list.SavePlaylist(nullptr, kPlaylistM3U));
  for (int format : {0, kPlaylistB4S, kPlaylistASX, kPlaylistWPL, kPlaylistBPL, 7})
    EXPECT_FALSE(list.SavePlaylist((dir + "x" + std::to_string(format)).c_str(), format));
  EXPECT_FALSE(list.SavePlaylist((dir + "no/such/folder.m3u").c_str(), kPlaylistM3U));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);

  // Titles are cut to 255 characters; a bare name lands in the current folder.
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  EXPECT_TRUE(list.SavePlaylist("relative.m3u", kPlaylistM3U));
  fs::current_path(previous);
  EXPECT_NE(Read("relative.m3u").find("#EXTINF:-1," + std::string(255, 't') + "\r\n"),
            std::string::npos);
  EXPECT_EQ(Read("relative.m3u").find(std::string(256, 't') + "\r\n"), std::string::npos);
}

TEST(PlaylistEntries, AddGetAndShuffle) {
  Playlist list;
  list.AddEntries(nullptr, 3);
  const char* none[] = {"x"};
  list.AddEntries(none, 0);
  list.AddEntries(none, -1);
  EXPECT_EQ(list.EntryCount(), 0);
  list.Shuffle(7, 50);  // no entries: nothing to draw from
  char first[] = "one";
  const char* some[] = {first, nullptr, "two"};
  list.AddEntries(some, 3);
  first[0] = 'X';  // entries are copies
  EXPECT_EQ(EntriesOf(list), (Entries{"one", "two"}));
  EXPECT_EQ(list.GetEntry(-1), nullptr);
  EXPECT_EQ(list.GetEntry(2), nullptr);

  Playlist single;
  single.AddEntry("only");
  single.Shuffle(12345, 50);
  EXPECT_EQ(EntriesOf(single), (Entries{"only"}));

  Entries expected;
  for (int i = 0; i < 6; ++i) {
    expected.push_back(std::to_string(i));
    list.AddEntry(expected.back().c_str());
  }
  expected.insert(expected.begin(), {"one", "two"});
  std::srand(99);
  for (int pass = 0; pass < 3; ++pass)
    for (size_t i = 0; i < expected.size(); ++i) std::swap(expected[i], expected[std::rand() % 8]);
  list.Shuffle(99, 3);
  EXPECT_EQ(EntriesOf(list), expected);
}

TEST(PlaylistMends, ScansStopInsideTheText) {
  EXPECT_TRUE(ParseExact("<entry Playstring=", kPlaylistB4S).empty());
  EXPECT_TRUE(ParseExact("<entry Playstring=\"file:C:\\a.mp3", kPlaylistB4S).empty());
  EXPECT_EQ(ParseExact("<ref href=\"a:1\"/><ref href=\"a:2", kPlaylistASX), (Entries{"a:1"}));
  EXPECT_TRUE(ParseExact("<media src", kPlaylistWPL).empty());
  EXPECT_TRUE(ParseExact("[playlist]", kPlaylistPLS).empty());
  EXPECT_TRUE(ParseExact("File1=a:b\n[PlayList]\n", kPlaylistPLS).empty());
  EXPECT_EQ(ParseExact(std::string("a.mp3\n\0b.mp3\n", 13), kPlaylistM3U), (Entries{"C:\\L\\a.mp3"}));
  EXPECT_TRUE(ParseExact("a:b", 0).empty());
}

TEST(PlaylistMends, EntriesThePlayerCannotTakeAreSkipped) {
  const std::string fits(1023 - 5, 'f');  // with "C:\L\" exactly 1023
  EXPECT_EQ(ParseExact(fits + "\n" + fits + "g\n", kPlaylistM3U), (Entries{"C:\\L\\" + fits}));
  const std::string url = "http://" + std::string(1020, 'u');
  EXPECT_TRUE(ParseExact("<ref href=\"" + url + "\"/>", kPlaylistASX).empty());
  // Line breaks inside a value, escaped or not, would split a saved playlist's lines.
  EXPECT_EQ(ParseExact("<ref href=\"http://a\r\nb\"/><ref href='a:&#10;'/><ref href='a:1'/>",
                       kPlaylistASX),
            (Entries{"a:1"}));
  EXPECT_EQ(ParseExact("file:///C:/a%0Ab.mp3\nfile:///C:/a%09b.mp3\nC:\\a\tb.mp3\nC:\\ok.mp3",
                       kPlaylistM3U),
            (Entries{"C:\\ok.mp3"}));
}

TEST(PlaylistText, LineEndsAndPaths) {
  EXPECT_EQ(WithCarriageReturns("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(ParseExact("a\rb\r\n\r\nc\n\rd", kPlaylistM3U),
            (Entries{"C:\\L\\a", "C:\\L\\b", "C:\\L\\c", "C:\\L\\d"}));

  EXPECT_EQ(PathFolder("/tmp/x/list.m3u", '\\', '/'), "/tmp/x/");
  EXPECT_EQ(PathFolder("C:\\a/b\\c.m3u", '\\', '/'), "C:\\a/b\\");
  EXPECT_EQ(PathFolder("list.m3u", '\\', '/'), "");
  EXPECT_EQ(PathTitle("C:\\my.dir\\track", 255), "track");
  EXPECT_TRUE(IsRelativePath("sub\\list.m3u"));
  EXPECT_FALSE(IsRelativePath("\\\\srv\\s\\l.m3u"));
  EXPECT_FALSE(IsRelativePath("/tmp/l.m3u"));
  EXPECT_FALSE(IsRelativePath("C:l.m3u"));

  std::string full;
  ASSERT_TRUE(MakeFullPath("/a/./b/../c\\d/", 1024, full));
  EXPECT_EQ(full, "/a/c/d/");
  ASSERT_TRUE(MakeFullPath("x.m3u", 1024, full));
  EXPECT_EQ(full, fs::current_path().string() + "/x.m3u");
  EXPECT_FALSE(MakeFullPath("/abc", 4, full));
  EXPECT_TRUE(MakeFullPath("/abc", 5, full));
}

std::string AsUtf8(const std::string& bytes) { return PlaylistTextAsUtf8(bytes); }

TEST(PlaylistEncoding, MarksUtf16AndLegacyText) {
  using namespace std::string_literals;
  const std::string clef = "\U0001D11E";  // D834 DD1E in UTF-16
  const std::string replacement = "\uFFFD";
  EXPECT_EQ(AsUtf8("\xEF\xBB\xBF#EXTM3U\r\na\xFF" "b\0c"s), "#EXTM3U\r\na" + replacement + "b");
  EXPECT_EQ(AsUtf8("\xFF\xFE" "a\0\x34\xD8\x1E\xDD\xE9\0"s), "a" + clef + "\u00e9");
  EXPECT_EQ(AsUtf8("\xFE\xFF\0a\xD8\x34\xDD\x1E\x66\x1F"s), "a" + clef + "\u661f");
  // Lone surrogates and half a unit at the end; U+0000 ends the text.
  EXPECT_EQ(AsUtf8("\xFF\xFE\x34\xD8" "b\0\x1E\xDD" "c"s), replacement + "b" + replacement + replacement);
  EXPECT_EQ(AsUtf8("\xFF\xFE" "a\0\0\0b\0"s), "a");
  // Without a mark: two ASCII characters beside zero bytes.
  EXPECT_EQ(AsUtf8("#\0E\0\x1F\x66"s), "#E\u661f");
  EXPECT_EQ(AsUtf8("\0#\0E\x66\x1F"s), "#E\u661f");
  EXPECT_EQ(AsUtf8("a\0b\0"s.substr(0, 3)), "a");
  EXPECT_EQ(AsUtf8("ab\0\0"s), "ab");
  EXPECT_EQ(AsUtf8("\xE9\0" "a\0"s), "\u00e9");  // not ASCII: Windows-1252 up to the zero
  // Windows-1252 when the text is not UTF-8; UTF-8 as it is.
  EXPECT_EQ(AsUtf8("Gr\xF6\xDF" "e \x96 \x80\x81\x9F"), "Gr\u00f6\u00dfe \u2013 \u20ac\u0081\u0178");
  EXPECT_EQ(AsUtf8("Gr\u00f6\u00dfe \u661f " + clef), "Gr\u00f6\u00dfe \u661f " + clef);
  for (const char* malformed : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"})
    EXPECT_FALSE(IsUtf8(malformed)) << malformed;
  EXPECT_TRUE(IsUtf8("\xF4\x8F\xBF\xBF\x7F"));
}

TEST(PlaylistValues, FileUrlsBecomePaths) {
  PlaylistScan scan;
  scan.baseDir = "C:\\Lists\\";
  const std::pair<const char*, const char*> cases[] = {
      {"file:///C:/My%20Music/a.mp3", "C:\\My Music\\a.mp3"},
      {"file://localhost/C:/x.mp3", "C:\\x.mp3"},
      {"FILE://LocalHost/c|/x%2fy.mp3", "c:\\x/y.mp3"},
      {"file://C:/x.mp3", "C:\\x.mp3"},
      {"file:/D:/x.mp3", "D:\\x.mp3"},
      {"file://server/share/x%20y.mp3", "\\\\server\\share\\x y.mp3"},
      {"file:///music/x.mp3", "\\music\\x.mp3"},
      {"file:///C:/%C3%A9%E9%zz%4%00.mp3", "C:\\\u00c3\u00a9\u00e9%zz%4%00.mp3"},
      {"file:///", ""},
      {"http://host/a%20b.mp3", "http://host/a%20b.mp3"},
      {"Music\\100%20.mp3", "C:\\Lists\\Music\\100%20.mp3"}};
  for (const auto& [value, path] : cases) EXPECT_EQ(ResolvePlaylistValue(value, scan), path) << value;
  scan.separator = '/';
  EXPECT_EQ(ResolvePlaylistValue("file://srv/a/b.mp3", scan), "//srv/a/b.mp3");

  // XSPF locations are URIs: relative ones are decoded and hang from the folder.
  scan.separator = '\\';
  EXPECT_EQ(ResolvePlaylistLocation("Sub%20Dir/a%3Ab.ogg", scan), "C:\\Lists\\Sub Dir\\a:b.ogg");
  EXPECT_EQ(ResolvePlaylistLocation("/top.ogg", scan), "C:\\Lists\\top.ogg");
  for (const char* kept : {"https://h/x%20y.ogg", "C:\\M\\a%20b.ogg", "\\\\nas\\a.ogg", "rtsp:x"})
    EXPECT_EQ(ResolvePlaylistLocation(kept, scan), kept);
}

TEST(PlaylistMends, XspfTakesTheFirstLocationOfEachTrack) {
  EXPECT_EQ(ParseExact("<playlist><location>pl.xspf</location><trackList>"
                       "<track><location/><location>a.ogg</location><location>b.ogg</location></track>"
                       "<track><title>no location</title></track><location>stray.ogg</location>"
                       "<track><!-- <location>c.ogg</location> --><location> d&#x2E;ogg </location>"
                       "</track><track><location>cut.ogg",
                       kPlaylistXSPF),
            (Entries{"C:\\L\\a.ogg", "C:\\L\\d.ogg"}));
}

TEST(PlaylistCorpus, EveryFileGivesItsExpectedEntries) {
  int files = 0;
  for (const auto& item : fs::directory_iterator(ZV_PLAYLIST_CORPUS_DIR)) {
    const std::string name = item.path().filename().string();
    if (name[0] == '.' || item.path().extension() == ".expected") continue;
    ++files;
    std::ifstream expectedFile(item.path().string() + ".expected", std::ios::binary);
    ASSERT_TRUE(expectedFile.is_open()) << name << " has no list of expected entries";
    Entries expected;
    for (std::string line; std::getline(expectedFile, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      expected.push_back(line);
    }
    std::ifstream in(item.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    Playlist list;
    list.ParseFileBytes(bytes, name, "C:\\Lists\\");
    EXPECT_EQ(EntriesOf(list), expected) << name;
  }
  EXPECT_GE(files, 20) << "the corpus in " << ZV_PLAYLIST_CORPUS_DIR << " is incomplete";
}

}  // namespace
