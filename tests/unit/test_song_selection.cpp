// The music dialog's rules apart from its windows: reading the open-file
// dialog's answer, what a choice of files and playlists adds, the custom
// playlist file, and moving and removing selected entries.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "ui/song_list_edits.h"
#include "ui/song_selection.h"

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

namespace {

// A list box in miniature: names with their selection marks.
struct ModelList : SongList {
  struct Entry {
    std::string name;
    bool selected;
  };
  std::vector<Entry> entries;
  int Count() const override { return static_cast<int>(entries.size()); }
  void Reinsert(int from, int to) override {
    Entry moved = entries.at(from);
    moved.selected = false;
    entries.erase(entries.begin() + from);
    entries.insert(entries.begin() + to, moved);
  }
  void Remove(int index) override { entries.erase(entries.begin() + index); }

  static ModelList Of(const std::string& names, const std::vector<int>& selected) {
    ModelList list;
    for (char c : names) list.entries.push_back({std::string(1, c), false});
    for (int i : selected) list.entries[i].selected = true;
    return list;
  }
  std::string Names() const {
    std::string text;
    for (const Entry& e : entries) text += e.selected ? "[" + e.name + "]" : e.name;
    return text;
  }
  std::vector<int> Selected() const {
    std::vector<int> indices;
    for (int i = 0; i < Count(); ++i)
      if (entries[i].selected) indices.push_back(i);
    return indices;
  }
};

TEST(SongListEdits, MovingUpAndDown) {
  ModelList list = ModelList::Of("abcde", {0});
  EXPECT_FALSE(MoveSelectionUp(list, list.Selected()));
  EXPECT_EQ(list.Names(), "[a]bcde");

  list = ModelList::Of("abcde", {1, 2});
  EXPECT_TRUE(MoveSelectionUp(list, list.Selected()));
  EXPECT_EQ(list.Names(), "[b][c]ade");

  list = ModelList::Of("abcde", {1, 3});
  EXPECT_TRUE(MoveSelectionDown(list, list.Selected()));
  EXPECT_EQ(list.Names(), "ac[b]e[d]");
  EXPECT_TRUE(MoveSelectionDown(list, list.Selected()) == false);
  EXPECT_EQ(list.Names(), "ac[b]e[d]");

  list = ModelList::Of("abc", {});
  EXPECT_FALSE(MoveSelectionUp(list, {}));
  EXPECT_FALSE(MoveSelectionDown(list, {}));
  EXPECT_EQ(list.Names(), "abc");

  // Up then down brings a block back where it was.
  list = ModelList::Of("abcdef", {2, 3});
  MoveSelectionUp(list, list.Selected());
  MoveSelectionDown(list, list.Selected());
  EXPECT_EQ(list.Names(), "ab[c][d]ef");
}

TEST(SongListEdits, RemovingTheSelectedEntries) {
  ModelList list = ModelList::Of("abcdef", {0, 2, 3, 5});
  RemoveSelected(list, list.Selected());
  EXPECT_EQ(list.Names(), "be");
  list = ModelList::Of("abc", {});
  RemoveSelected(list, {});
  EXPECT_EQ(list.Names(), "abc");
}

// The dialog's buffer, copied to a heap block of exactly its size so that a
// read past its end is caught.
FileSelection Parse(const std::string& bytes, size_t fileOffset) {
  std::unique_ptr<char[]> block(new char[bytes.size()]);
  std::memcpy(block.get(), bytes.data(), bytes.size());
  return ParseFileSelection(block.get(), bytes.size(), fileOffset);
}

TEST(FileSelection, OnePathOrAFolderWithNames) {
  FileSelection one = Parse(std::string("C:\\Music\\a.mp3\0\0", 17), 9);
  EXPECT_FALSE(one.several);
  EXPECT_EQ(one.paths, Paths{"C:\\Music\\a.mp3"});

  FileSelection several = Parse(std::string("C:\\Music\0a.mp3\0b c.ogg\0\0", 25), 9);
  EXPECT_TRUE(several.several);
  EXPECT_EQ(several.paths, (Paths{"C:\\Music\\a.mp3", "C:\\Music\\b c.ogg"}));

  // A folder at the root keeps its one separator.
  EXPECT_EQ(Parse(std::string("C:\\\0a.mp3\0\0", 11), 4).paths, Paths{"C:\\a.mp3"});

  // Missing terminators end the scan at the buffer's end.
  EXPECT_EQ(Parse(std::string("C:\\Music\0a.mp3\0b.og", 19), 9).paths, (Paths{"C:\\Music\\a.mp3", "C:\\Music\\b.og"}));
  EXPECT_EQ(Parse("C:\\Music\\a.mp3", 9).paths, Paths{"C:\\Music\\a.mp3"});
  EXPECT_TRUE(ParseFileSelection(nullptr, 0, 0).paths.empty());
}

TEST(FileSelection, ExtensionsAreWholeAndIgnoreCase) {
  EXPECT_TRUE(IsPlaylistFile("C:\\x\\List.M3U"));
  EXPECT_TRUE(IsPlaylistFile("a.wpl"));
  for (const char* name : {"a.xspf", "a.M3U8", "a.wax", "a.wvx"}) EXPECT_TRUE(IsPlaylistFile(name)) << name;
  EXPECT_FALSE(IsPlaylistFile("a.m3u9"));
  EXPECT_FALSE(IsPlaylistFile("a.m3"));
  EXPECT_FALSE(IsPlaylistFile("C:\\lists.m3u\\song"));
  EXPECT_FALSE(IsPlaylistFile("noextension"));
  EXPECT_TRUE(IsSongFile("Song.OGG"));
  EXPECT_TRUE(IsSongFile("d.mp2"));
  EXPECT_FALSE(IsSongFile("d.mp"));
  EXPECT_FALSE(IsSongFile("notes.txt"));
  EXPECT_EQ(SongDisplayName("C:\\Music\\Song One.mp3"), "Song One.mp3");
  EXPECT_EQ(SongDisplayName("plain.ogg"), "plain.ogg");
  EXPECT_EQ(SongCountLabel(0), "0\nFiles");
  EXPECT_EQ(SongCountLabel(12), "12\nFiles");
}

class SongFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  std::string Write(const std::string& name, const std::string& bytes) { return folder.Write(name, bytes); }
  std::string Read(const std::string& name) { return folder.Read(name); }
  TempFolder folder;
  const std::string& dir = folder.path();
};

TEST_F(SongFiles, APlaylistAloneAddsEverythingWithOthersOnlySongs) {
  // Entries with a drive, which the reader keeps as they are on every system.
  const std::string list = Write("mix.m3u", "C:\\M\\one.mp3\r\nC:\\M\\notes.txt\r\nC:\\M\\two.ogg\r\n");
  FileSelection alone;
  alone.paths = {list};
  EXPECT_EQ(SongsToAdd(alone), (Paths{"C:\\M\\one.mp3", "C:\\M\\notes.txt", "C:\\M\\two.ogg"}));

  FileSelection together;
  together.several = true;
  together.paths = {dir + "lone.wav", list, dir + "missing.pls", dir + "readme"};
  EXPECT_EQ(SongsToAdd(together), (Paths{dir + "lone.wav", "C:\\M\\one.mp3", "C:\\M\\two.ogg", dir + "readme"}));
}

TEST_F(SongFiles, TheCustomPlaylistIsSavedAsM3UOrDeletedWhenEmpty) {
  const std::string file = dir + "user.m3u";
  const std::string tooLong = "C:\\" + std::string(kMaxSongPath, 'x') + ".mp3";
  ASSERT_TRUE(SaveCustomPlaylist({"C:\\M\\a.wma", tooLong, "C:\\M\\b.ogg"}, file));
  EXPECT_EQ(Read("user.m3u"), "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1,a\r\nC:\\M\\a.wma\r\n#EXTINF:-1,b\r\nC:\\M\\b.ogg\r\n");
  EXPECT_EQ(LoadCustomPlaylist(file), (Paths{"C:\\M\\a.wma", "C:\\M\\b.ogg"}));

  ASSERT_TRUE(SaveCustomPlaylist({}, file));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(LoadCustomPlaylist(file).empty());
  EXPECT_FALSE(SaveCustomPlaylist({"C:\\M\\a.wma"}, dir + "no/such/folder/user.m3u"));
}

TEST_F(SongFiles, ASaveThatFailsLeavesTheOldListAsItWas) {
  const std::string file = dir + "user.m3u";
  ASSERT_TRUE(SaveCustomPlaylist({"C:\\M\\a.wma"}, file));
  const std::string saved = Read("user.m3u");
  // The new list's file cannot be made (something else is in its place).
  fs::create_directory(file + ".tmp");
  EXPECT_FALSE(SaveCustomPlaylist({"C:\\M\\b.ogg", "C:\\M\\c.mp3"}, file));
  EXPECT_EQ(Read("user.m3u"), saved);
  EXPECT_NE(MusicListNotSavedText(file).find(file), std::string::npos);
}

}  // namespace
