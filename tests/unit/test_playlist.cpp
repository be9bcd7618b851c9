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
                              "http://radio.example/stream", dir}));
}

TEST_F(PlaylistFiles, WinampStylePls) {
  EXPECT_EQ(Load("radio.pls",
                 "[playlist]\r\nFile1=C:\\Music\\a.mp3\r\nTitle1=A\r\nLength1=200\r\n"
                 "file2=  b.mp3\r\nTitle2=B\r\nLength2=-1\r\nFile3 C:\\no-value.mp3\r\n"
                 "NumberOfEntries=3\r\nVersion=2\r\n"),
            (Entries{"C:\\Music\\a.mp3", dir + "b.mp3"}));
}

TEST_F(PlaylistFiles, PlsWithoutTrailingVersionIsOneEntryPerLine) {
  EXPECT_EQ(Load("old.pls", "[playlist]\r\nVersion=2\r\nFile1=a.mp3\r\nNumberOfEntries=1\r\n"),
            (Entries{dir + "Version=2", dir + "File1=a.mp3", dir + "NumberOfEntries=1"}));
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

TEST_F(PlaylistFiles, AsxTakesEveryHref) {
  EXPECT_EQ(Load("radio.asx",
                 "<asx version=\"3.0\">\r\n<title>Radio</title>\r\n<entry>\r\n"
                 "<ref href=\"C:\\Music\\song.wma\"/>\r\n</entry>\r\n"
                 "<entry><ref HREF = \"mms://media.example/live\"/></entry>\r\n"
                 "<moreinfo href=\"\\Music\\info.asf\"/>\r\n</asx>\r\n"),
            (Entries{"C:\\Music\\song.wma", "mms://media.example/live", dir + "Music\\info.asf"}));
}

TEST_F(PlaylistFiles, WplTakesOnlyMediaSrc) {
  EXPECT_EQ(Load("mine.wpl",
                 "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n"
                 "<meta name=\"Generator\" content=\"Player -- 9.0\"/>\r\n</head>\r\n<body>\r\n"
                 "<seq>\r\n<media src=\"..\\Music\\b.wma\" tid=\"{A1B2}\"/>\r\n"
                 "<media src=\"C:\\Music\\Dad&apos;s &quot;Song&quot;.wma\" tid=\"{C3}\"/>\r\n"
                 "<media  src=\"skipped.wma\"/>\r\n</seq>\r\n</body>\r\n</smil>\r\n"),
            (Entries{dir + "..\\Music\\b.wma", "C:\\Music\\Dad's \"Song\".wma"}));
}

TEST(PlaylistValues, ResolutionAndEntities) {
  PlaylistScan scan;
  scan.baseDir = "C:\\Lists\\";
  EXPECT_EQ(ResolvePlaylistValue("\\\\srv\\x.mp3", scan), "\\\\srv\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("D:\\x.mp3", scan), "D:\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("a:b", scan), "a:b");
  EXPECT_EQ(ResolvePlaylistValue("\\x.mp3", scan), "C:\\Lists\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("/x.mp3", scan), "C:\\Lists\\x.mp3");
  EXPECT_EQ(ResolvePlaylistValue("//srv/x ", scan), "C:\\Lists\\/srv/x ");
  EXPECT_EQ(ResolvePlaylistValue("sub/x.mp3", scan), "C:\\Lists\\sub/x.mp3");

  std::string value = "&apos;&quot;&nbsp;|&amp;&APOS;&apos";
  DecodePlaylistEntities(value);
  EXPECT_EQ(value, "'\" |&amp;&APOS;&apos");
}

TEST(PlaylistValues, FormatFromExtension) {
  EXPECT_EQ(PlaylistTypeFromPath("C:\\LIST.M3U", 3), kPlaylistM3U);
  EXPECT_EQ(PlaylistTypeFromPath("a.B4s", 1), kPlaylistB4S);
  EXPECT_EQ(PlaylistTypeFromPath("a.Pls", 1), kPlaylistPLS);
  EXPECT_EQ(PlaylistTypeFromPath("a.asx", 1), kPlaylistASX);
  EXPECT_EQ(PlaylistTypeFromPath("a.WPL", 1), kPlaylistWPL);
  EXPECT_EQ(PlaylistTypeFromPath("a.bpl", 1), kPlaylistBPL);
  for (const char* other : {"a.txt", "a.m3u8", "a.pl", "noext", "C:\\a.pls\\list", "a.pls."})
    EXPECT_EQ(PlaylistTypeFromPath(other, 4), 4) << other;
}

TEST_F(PlaylistFiles, UnlistedExtensionReadsAsDefaultType) {
  const std::string path = Write("list.txt", "[playlist]\nFile1=C:\\a.mp3\nVersion=2");
  Playlist list(path.c_str());
  EXPECT_EQ(list.type, kPlaylistM3U);
  EXPECT_EQ(EntriesOf(list), (Entries{dir + "[playlist]", "File1=C:\\a.mp3", dir + "Version=2"}));
  Playlist pls;
  pls.defaultType = kPlaylistPLS;
  ASSERT_TRUE(pls.LoadPlaylist(path.c_str()));
  EXPECT_EQ(pls.type, kPlaylistPLS);
  EXPECT_EQ(EntriesOf(pls), (Entries{"C:\\a.mp3"}));
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
            "#EXTM3U\r\n#EXTINF:-1,a\r\nC:\\Music\\a.mp3\r\n#EXTINF:-1,Song Two\r\n"
            "\\\\srv\\share\\my.dir\\Song Two.ogg\r\n#EXTINF:-1,live\r\nhttp://radio.example/live\r\n");
  ASSERT_TRUE(list.SavePlaylist((dir + "out.pls").c_str(), kPlaylistPLS));
  EXPECT_EQ(Read("out.pls"),
            "[playlist]\r\nPlaylistName=Quorrin playlist\r\nFile1=C:\\Music\\a.mp3\r\nTitle1=a\r\n"
            "File2=\\\\srv\\share\\my.dir\\Song Two.ogg\r\nTitle2=Song Two\r\n"
            "File3=http://radio.example/live\r\nTitle3=live\r\nNumberOfEntries=3\r\nVersion=2");
  for (const char* name : {"out.m3u", "out.pls"})
    EXPECT_EQ(EntriesOf(Playlist((dir + name).c_str())), Entries(entries, entries + 3)) << name;
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

TEST(PlaylistMends, EntriesTooLongForThePlayerAreSkipped) {
  const std::string fits(1023 - 5, 'f');  // with "C:\L\" exactly 1023
  EXPECT_EQ(ParseExact(fits + "\n" + fits + "g\n", kPlaylistM3U), (Entries{"C:\\L\\" + fits}));
  const std::string url = "http://" + std::string(1020, 'u');
  EXPECT_TRUE(ParseExact("<ref href=\"" + url + "\"/>", kPlaylistASX).empty());
}

TEST(PlaylistText, LineEndsAndPaths) {
  std::string text = "a\r\nb\rc\r\r\n\r";
  DropCarriageReturns(text);
  EXPECT_EQ(text, "a\nb\rc\r\n\r");
  EXPECT_EQ(WithCarriageReturns("a\nb\n"), "a\r\nb\r\n");

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

}  // namespace
