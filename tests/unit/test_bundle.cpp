#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/bundle_directory.h"
#include "bundle/bundle_writer.h"
#include "bundle/byte_order.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

void Put(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes CategoryRecord(const std::string& name) {
  Bytes record = B("?" + name);
  record.push_back(0);
  return record;
}

Bytes FileRecord(const std::string& name, uint32_t offset, uint32_t size) {
  Bytes record = B(name);
  record.push_back(0);
  AppendLE32(record, offset);
  AppendLE32(record, size);
  return record;
}

// Data, directory and a trailer naming the directory's offset (by default
// where it really starts).
Bytes RawBundle(const Bytes& data, const Bytes& directory, int64_t trailer = -1) {
  Bytes out = data;
  Put(out, directory);
  AppendLE32(out, static_cast<uint32_t>(trailer < 0 ? data.size() : trailer));
  return out;
}

// Largest single allocation seen while armed. Under ASan every malloc and
// operator new passes the hook, so a load that allocated a record's claimed
// size before finding the file short shows up here.
std::atomic<bool> watchAllocations{false};
std::atomic<size_t> largestAllocation{0};

#if defined(__SANITIZE_ADDRESS__)
void OnMalloc(const volatile void*, size_t size) {
  if (!watchAllocations) return;
  size_t seen = largestAllocation;
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
}
void OnFree(const volatile void*) {}
#endif

void ArmAllocationWatch() {
#if defined(__SANITIZE_ADDRESS__)
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  ASSERT_TRUE(installed);
#endif
  largestAllocation = 0;
  watchAllocations = true;
}

// A new folder name under the temporary folder, per test and per run.
std::string UniqueFolder(const std::string& prefix) {
  const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return (fs::temp_directory_path() / (prefix + test + "_" + std::to_string(std::random_device()())))
      .string();
}

class BundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = UniqueFolder("zv_bundle_");
    ASSERT_TRUE(fs::create_directory(root));
  }
  void TearDown() override { fs::remove_all(root); }

  std::string Path(const std::string& name) const { return root + "/" + name; }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }
  // images.bdl in small: two photographs, their dims, one music track.
  std::string WriteSample(const std::string& name = "images.bdl") const {
    BundleWriter writer;
    EXPECT_TRUE(writer.AddCategory("image"));
    EXPECT_TRUE(writer.AddFile("m42.jpg", B("orion nebula")));
    EXPECT_TRUE(writer.AddFile("m31.jpg", B("andromeda")));
    EXPECT_TRUE(writer.AddCategory("dims"));
    EXPECT_TRUE(writer.AddFile("m42.dims", B("dims-42")));
    EXPECT_TRUE(writer.AddCategory("music"));
    EXPECT_TRUE(writer.AddFile("track1.mp3", B("tune")));
    EXPECT_TRUE(writer.WriteTo(Path(name)));
    return Path(name);
  }

  static void ExpectEmpty(const VFBUNDLE& bundle) {
    EXPECT_EQ(bundle.directoryOffset, -1);
    EXPECT_EQ(bundle.fileCount, 0);
    EXPECT_EQ(bundle.categories.Count(), 0);
    EXPECT_TRUE(bundle.path.empty());
  }
  static std::string Text(const uint8_t* data, uint32_t size) {
    return data == nullptr ? "<null>" : std::string(reinterpret_cast<const char*>(data), size);
  }

  std::string root;
};

TEST_F(BundleTest, WrittenBundleReadsBackInDirectoryOrder) {
  const std::string path = WriteSample();
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path));
  EXPECT_EQ(bundle.path, path);
  EXPECT_EQ(bundle.fileCount, 4);
  EXPECT_EQ(bundle.directoryOffset, 12 + 9 + 7 + 4);  // right after the data

  std::vector<std::string> names;
  for (bool more = bundle.categories.First(); more; more = bundle.categories.Next()) {
    names.push_back(bundle.categories.Current()->name);
    EXPECT_EQ(bundle.categories.Current()->path, path);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"image", "dims", "music"}));

  VFFILECAT* images = bundle.FindCategory("image");
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(images->files.Count(), 2);
  VFFILE* first = images->FindFile("m42.jpg");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->offset, 0u);
  EXPECT_EQ(first->size, 12u);
  EXPECT_EQ(first->data, nullptr);  // nothing is read at open
  EXPECT_EQ(images->FindFile("m31.jpg")->offset, 12u);

  EXPECT_EQ(Text(bundle.LoadFile("image", "m31.jpg"), 9), "andromeda");
  EXPECT_EQ(Text(bundle.LoadFile("music", "track1.mp3"), 4), "tune");
  EXPECT_EQ(bundle.GetFileSize("dims", "m42.dims"), 7u);
  EXPECT_EQ(bundle.LoadFile("music", "m31.jpg"), nullptr);  // wrong category
  EXPECT_EQ(bundle.LoadFile("caps", "m31.jpg"), nullptr);
  EXPECT_EQ(bundle.GetFileSize("image", "nope.jpg"), 0u);
}

TEST_F(BundleTest, NamesMatchCaseInsensitivelyAtExactLength) {
  EXPECT_TRUE(BundleNameMatches("menuskin.jpg", "MENUSKIN.JPG"));
  EXPECT_TRUE(BundleNameMatches("MenuSkin.Jpg", "menuskin.jpg"));
  EXPECT_FALSE(BundleNameMatches("menuskin.jpg", "menuskin"));
  EXPECT_FALSE(BundleNameMatches("menuskin", "menuskin.jpg"));
  EXPECT_FALSE(BundleNameMatches("menuskin.jpg", "menuskin.jpe"));
  EXPECT_FALSE(BundleNameMatches("", ""));
  EXPECT_FALSE(BundleNameMatches("", nullptr));
  // Only ASCII letters fold: bytes above 127 compare as they are.
  EXPECT_FALSE(BundleNameMatches("\xC4.jpg", "\xE4.jpg"));
  // '@' and '[' sit beside the capitals and must not fold onto '`' and '{'.
  EXPECT_FALSE(BundleNameMatches("@", "`"));
  EXPECT_FALSE(BundleNameMatches("[", "{"));

  BundleWriter writer;
  writer.AddCategory("Skin");
  writer.AddFile("menuskin.jpg", B("skin"));
  ASSERT_TRUE(writer.WriteTo(Path("skin.bdl")));
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(Path("skin.bdl")));
  EXPECT_EQ(Text(bundle.LoadFile("SKIN", "MENUSKIN.JPG"), 4), "skin");
  EXPECT_EQ(bundle.LoadFile("skin", "menuskin"), nullptr);
  EXPECT_EQ(bundle.FindCategory(""), nullptr);
  EXPECT_EQ(bundle.FindCategory(nullptr), nullptr);
}

TEST_F(BundleTest, MalformedFilesFailToOpenAndLeaveTheBundleEmpty) {
  const Bytes data = B("0123456789");
  const Bytes skin = CategoryRecord("skin");
  Bytes good = skin;
  Put(good, FileRecord("a.jpg", 0, 10));
  Bytes cutTail = good;
  cutTail.pop_back();  // 7 of the record's 8 bytes
  Bytes cutName = skin;
  Put(cutName, B("a.jpg"));  // no NUL before the directory ends
  Bytes cutCategory = good;
  Put(cutCategory, B("?music"));

  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty file", {}},
      {"three bytes", B("abc")},
      {"trailer only, empty directory", RawBundle({}, {})},
      {"directory not starting with ?", RawBundle(data, FileRecord("a.jpg", 0, 10))},
      {"trailer past the file", RawBundle(data, good, 0x7FFFFFF0)},
      {"trailer one past the directory end", RawBundle(data, good, 10 + good.size() + 1)},
      {"trailer at the directory end", RawBundle(data, good, 10 + good.size())},
      {"trailer at its own last byte", RawBundle(data, good, 0xFFFFFFFF)},
      {"file record cut in its offset/size", RawBundle(data, cutTail)},
      {"file name without NUL", RawBundle(data, cutName)},
      {"category name without NUL", RawBundle(data, cutCategory)},
  };
  // Each is opened by a bundle that already holds a valid directory, which
  // must be gone afterwards too.
  const std::string valid = WriteSample();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VFBUNDLE bundle;
    ASSERT_TRUE(bundle.Open(valid));
    ASSERT_NE(bundle.LoadFile("image", "m42.jpg"), nullptr);
    EXPECT_FALSE(bundle.Open(Write("bad.bdl", c.bytes)));
    ExpectEmpty(bundle);
    EXPECT_EQ(bundle.LoadFileAnyCategory("m42.jpg"), nullptr);
  }

  VFBUNDLE bundle;
  EXPECT_FALSE(bundle.Open(Path("missing.bdl")));
  ExpectEmpty(bundle);
  EXPECT_FALSE(bundle.Open(static_cast<const char*>(nullptr)));
  ExpectEmpty(bundle);
  EXPECT_FALSE(bundle.Open(root));  // a folder
  ExpectEmpty(bundle);
  // The same bytes with the record intact open.
  EXPECT_TRUE(bundle.Open(Write("good.bdl", RawBundle(data, good))));
}

TEST_F(BundleTest, DirectoryParserAcceptsOnlyWholeRecords) {
  Bytes directory = CategoryRecord("image");
  Put(directory, FileRecord("a", 1, 2));
  Put(directory, CategoryRecord("empty"));
  Put(directory, CategoryRecord(""));
  Put(directory, FileRecord("", 3, 4));  // an empty name is a record, never found
  VFBUNDLE bundle;
  ASSERT_TRUE(ParseBundleDirectory(directory.data(), directory.size(), "p", bundle));
  EXPECT_EQ(bundle.categories.Count(), 3);
  EXPECT_EQ(bundle.fileCount, 2);

  // Every cut inside the last record fails and leaves nothing behind.
  for (size_t cut = 1; cut < directory.size(); ++cut) {
    VFBUNDLE partial;
    const bool whole = ParseBundleDirectory(directory.data(), cut, "p", partial);
    const bool atRecordEnd = cut == 7 || cut == 17 || cut == 24 || cut == 26;
    EXPECT_EQ(whole, atRecordEnd) << "cut at " << cut;
    if (!whole) ExpectEmpty(partial);
  }
}

TEST_F(BundleTest, OpenDiscardsTheOldDirectoryAndItsData) {
  const std::string first = WriteSample("first.bdl");
  BundleWriter writer;
  writer.AddCategory("skin");
  writer.AddFile("menuskin.jpg", B("skin bytes"));
  ASSERT_TRUE(writer.WriteTo(Path("second.bdl")));

  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.OpenAndLoadAll(first.c_str()));
  ASSERT_NE(bundle.GetFileData("image", "m42.jpg"), nullptr);
  ASSERT_TRUE(bundle.Open(Path("second.bdl")));
  EXPECT_EQ(bundle.fileCount, 1);
  EXPECT_EQ(bundle.categories.Count(), 1);
  EXPECT_EQ(bundle.FindCategory("image"), nullptr);
  EXPECT_EQ(bundle.path, Path("second.bdl"));
  EXPECT_EQ(bundle.GetFileData("skin", "menuskin.jpg"), nullptr);

  // A directory of empty categories counts no files but is still replaced,
  // not added to.
  BundleWriter empty;
  empty.AddCategory("image");
  ASSERT_TRUE(empty.WriteTo(Path("empty.bdl")));
  ASSERT_TRUE(bundle.Open(Path("empty.bdl")));
  ASSERT_TRUE(bundle.Open(Path("empty.bdl")));
  EXPECT_EQ(bundle.categories.Count(), 1);
  EXPECT_EQ(bundle.fileCount, 0);

  bundle.Close();
  ExpectEmpty(bundle);
}

TEST_F(BundleTest, LoadedFileIsCachedUntilFreedThenReadAnew) {
  const std::string path = WriteSample();
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path));
  uint8_t* block = bundle.LoadFile("image", "m42.jpg");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(bundle.GetFileData("image", "m42.jpg"), block);

  // Same layout, other bytes: a cached file must not see them.
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  bytes.replace(0, 12, "ORION NEBULA");
  Write("images.bdl", B(bytes));
  EXPECT_EQ(bundle.LoadFile("image", "m42.jpg"), block);
  EXPECT_EQ(Text(block, 12), "orion nebula");
  // A copy for one caller reads the disk and leaves the cache as it was.
  VFFILECAT* images = bundle.FindCategory("image");
  EXPECT_EQ(Text(images->ReadCopy(images->FindFile("m42.jpg")).get(), 12), "ORION NEBULA");
  EXPECT_EQ(bundle.GetFileData("image", "m42.jpg"), block);

  bundle.FreeFile("image", "m42.jpg");
  EXPECT_EQ(bundle.GetFileData("image", "m42.jpg"), nullptr);
  EXPECT_EQ(Text(bundle.LoadFile("image", "m42.jpg"), 12), "ORION NEBULA");

  // The file is opened per load: once it is gone, loads fail and cached
  // blocks stay.
  fs::remove(path);
  EXPECT_EQ(bundle.LoadFile("image", "m31.jpg"), nullptr);
  EXPECT_EQ(Text(bundle.GetFileData("image", "m42.jpg"), 12), "ORION NEBULA");
  bundle.FreeAll();
  EXPECT_EQ(bundle.GetFileData("image", "m42.jpg"), nullptr);
  EXPECT_EQ(bundle.categories.Count(), 3);  // the directory stays
}

TEST_F(BundleTest, RecordsPointingPastTheFileFailWithoutAllocating) {
  const Bytes data = B("0123456789");
  Bytes directory = CategoryRecord("image");
  Put(directory, FileRecord("inside.jpg", 2, 8));
  Put(directory, FileRecord("past.jpg", 0xFFFFFF00, 4));
  Put(directory, FileRecord("huge.jpg", 4, 3u << 30));  // claims 3 GiB
  Put(directory, FileRecord("wrapping.jpg", 0xFFFFFFFF, 0xFFFFFFFF));
  // Records sized to end exactly at the end of the file and one byte past
  // it, patched once the file's length is known.
  Put(directory, FileRecord("whole.bin", 0, 0));
  const size_t wholeSize = directory.size() - 4;
  Put(directory, FileRecord("over.bin", 0, 0));
  const size_t overSize = directory.size() - 4;
  const uint32_t length = static_cast<uint32_t>(data.size() + directory.size() + 4);
  for (int b = 0; b < 4; ++b) {
    directory[wholeSize + b] = static_cast<uint8_t>(length >> (8 * b));
    directory[overSize + b] = static_cast<uint8_t>((length + 1) >> (8 * b));
  }
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(Write("b.bdl", RawBundle(data, directory))));
  VFFILECAT* images = bundle.FindCategory("image");
  ASSERT_NE(images, nullptr);

  ArmAllocationWatch();
  for (const char* name : {"past.jpg", "huge.jpg", "wrapping.jpg", "over.bin"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(images->LoadNamed(name), nullptr);
    EXPECT_EQ(images->FindFile(name)->data, nullptr);
  }
  watchAllocations = false;
  EXPECT_LT(largestAllocation.load(), size_t{1} << 20);

  EXPECT_EQ(Text(images->LoadNamed("inside.jpg"), 8), "23456789");
  EXPECT_EQ(Text(images->LoadNamed("whole.bin"), 10), "0123456789");
  EXPECT_FALSE(images->LoadAll());
  EXPECT_EQ(bundle.LoadCategory("image"), nullptr);
}

TEST_F(BundleTest, LoadAllStopsAtTheFirstFailure) {
  const Bytes data = B("abcdef");
  Bytes directory = CategoryRecord("empty");
  Put(directory, CategoryRecord("image"));
  Put(directory, FileRecord("a", 0, 2));
  Put(directory, FileRecord("bad", 100, 2));
  Put(directory, FileRecord("c", 4, 2));
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(Write("b.bdl", RawBundle(data, directory))));
  EXPECT_FALSE(bundle.LoadAll());
  EXPECT_NE(bundle.GetFileData("image", "a"), nullptr);
  EXPECT_EQ(bundle.GetFileData("image", "c"), nullptr);

  // A category without files is valid and loads.
  VFFILECAT* empty = bundle.LoadCategory("empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->files.Count(), 0);
  EXPECT_TRUE(empty->LoadAll());
  EXPECT_EQ(empty->Load(nullptr), nullptr);
}

TEST_F(BundleTest, ZeroSizeFileLoadsAsAnEmptyBlock) {
  BundleWriter writer;
  writer.AddCategory("caps");
  writer.AddFile("empty.cap", Bytes());
  writer.AddFile("last.cap", B("x"));
  ASSERT_TRUE(writer.WriteTo(Path("z.bdl")));
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(Path("z.bdl")));
  EXPECT_EQ(bundle.GetFileData("caps", "empty.cap"), nullptr);
  EXPECT_NE(bundle.LoadFile("caps", "empty.cap"), nullptr);
  EXPECT_NE(bundle.GetFileData("caps", "empty.cap"), nullptr);
  EXPECT_EQ(bundle.GetFileSize("caps", "empty.cap"), 0u);
  EXPECT_TRUE(bundle.LoadAll());
}

TEST_F(BundleTest, SameNamesResolveToTheFirstInDirectoryOrder) {
  BundleWriter writer;
  writer.AddCategory("image");
  writer.AddFile("a.jpg", B("first a"));
  writer.AddFile("A.JPG", B("second a"));
  writer.AddCategory("music");
  writer.AddFile("shared.bin", B("music copy"));
  writer.AddCategory("image");
  writer.AddFile("b.jpg", B("other image cat"));
  writer.AddFile("shared.bin", B("image copy"));
  ASSERT_TRUE(writer.WriteTo(Path("dup.bdl")));

  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(Path("dup.bdl")));
  VFFILECAT* image = bundle.FindCategory("image");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->files.Count(), 2);
  EXPECT_EQ(image->FindFile("b.jpg"), nullptr);  // only in the second "image"
  EXPECT_EQ(bundle.LoadFile("image", "b.jpg"), nullptr);
  EXPECT_EQ(Text(image->LoadNamed("a.jpg"), 7), "first a");

  // Any-category lookups take the first category holding the name.
  EXPECT_EQ(bundle.GetFileDataAnyCategory("shared.bin"), nullptr);
  EXPECT_EQ(Text(bundle.LoadFileAnyCategory("SHARED.BIN"), 10), "music copy");
  EXPECT_EQ(bundle.GetFileDataAnyCategory("shared.bin"), bundle.GetFileData("music", "shared.bin"));
  EXPECT_EQ(bundle.GetFileSizeAnyCategory("b.jpg"), 15u);
  EXPECT_EQ(Text(bundle.LoadFileAnyCategory("b.jpg"), 15), "other image cat");
  EXPECT_EQ(bundle.GetFileSizeAnyCategory("c.jpg"), 0u);
  EXPECT_EQ(bundle.LoadFileAnyCategory("c.jpg"), nullptr);
  bundle.FreeFileAnyCategory("shared.bin");
  EXPECT_EQ(bundle.GetFileDataAnyCategory("shared.bin"), nullptr);
  EXPECT_NE(bundle.GetFileDataAnyCategory("b.jpg"), nullptr);
  bundle.FreeFileAnyCategory("missing");  // harmless
}

TEST_F(BundleTest, AppendedBundleStartsAtTheFormerEndOfTheFile) {
  const Bytes program = B(std::string(3000, 'M') + "end of image");
  const std::string exe = Write("ZelvoraPelk.scr", program);
  BundleWriter writer;
  writer.AddCategory("skin");
  writer.AddFile("menuskin.jpg", B("skin picture"));
  writer.AddFile("filmstrip.jpg", B("strip"));
  ASSERT_TRUE(writer.AppendTo(exe));

  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(exe));
  VFFILE* skin = bundle.FindCategory("skin")->FindFile("menuskin.jpg");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->offset, program.size());
  EXPECT_EQ(Text(bundle.LoadFile("skin", "filmstrip.jpg"), 5), "strip");
  EXPECT_EQ(bundle.directoryOffset, static_cast<int64_t>(program.size() + 12 + 5));

  // The program is untouched and the directory starts "?skin" NUL
  // "menuskin.jpg" NUL.
  std::ifstream in(exe, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(all.compare(0, program.size(), std::string(program.begin(), program.end())), 0);
  EXPECT_EQ(all.substr(static_cast<size_t>(bundle.directoryOffset), 19),
            std::string("?skin\0menuskin.jpg\0", 19));

  // In memory, the same bytes for the same base.
  Bytes built;
  ASSERT_TRUE(writer.Build(program.size(), built));
  EXPECT_EQ(all.substr(program.size()), std::string(built.begin(), built.end()));
}

TEST_F(BundleTest, WriterRefusesWhatTheReaderCouldNotRead) {
  BundleWriter writer;
  EXPECT_FALSE(writer.AddFile("early.jpg", B("x")));  // no category yet
  EXPECT_FALSE(writer.AddCategory(""));
  EXPECT_FALSE(writer.AddCategory(std::string("sk\0in", 5)));
  ASSERT_TRUE(writer.AddCategory("image"));
  EXPECT_FALSE(writer.AddFile("?x.jpg", B("x")));
  EXPECT_FALSE(writer.AddFile("", B("x")));
  EXPECT_FALSE(writer.AddFile(std::string("a\0b", 3), B("x")));
  ASSERT_TRUE(writer.AddFile("ten.bin", B("0123456789")));
  EXPECT_EQ(writer.FileCount(), 1u);

  // The directory's own offset must still fit the 32-bit trailer.
  Bytes out;
  EXPECT_TRUE(writer.Build(0xFFFFFFFFull - 10, out));
  EXPECT_FALSE(writer.Build(0xFFFFFFFFull - 9, out));

  // A write that cannot open its target removes nothing: an empty folder
  // would go with a careless remove().
  fs::create_directory(Path("folder"));
  EXPECT_FALSE(writer.WriteTo(Path("folder")));
  EXPECT_FALSE(writer.AppendTo(Path("folder")));
  EXPECT_TRUE(fs::is_directory(Path("folder")));
  EXPECT_FALSE(writer.AppendTo(Path("missing.bin")));
  EXPECT_FALSE(fs::exists(Path("missing.bin")));
}

}  // namespace
