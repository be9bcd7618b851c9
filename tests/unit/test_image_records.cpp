#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/bundle_writer.h"
#include "bundle/image_records.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes DimsRecord(int32_t width, int32_t height, const std::string& name, const Bytes& tail) {
  ImageDims dims;
  dims.width = width;
  dims.height = height;
  dims.name = name;
  Bytes out;
  EXPECT_TRUE(SerializeImageDims(dims, false, out));
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

TEST(ImageRecords, DimsReadWithAndWithoutTheFlagBytes) {
  ImageDims dims;
  ASSERT_TRUE(ParseImageDims(DimsRecord(3000, 2000, "m42.jpg", {1, 0}).data(), 18, dims));
  EXPECT_EQ(dims.width, 3000);
  EXPECT_EQ(dims.height, 2000);
  EXPECT_EQ(dims.name, "m42.jpg");
  EXPECT_EQ(dims.horizontalOnly, 1);
  EXPECT_EQ(dims.verticalOnly, 0);

  // Ending right after the name's NUL: both flags 0, even over an entry
  // that had them set.
  const Bytes bare = DimsRecord(640, -480, "m31.jpg", {});
  ASSERT_EQ(bare.size(), 16u);
  ASSERT_TRUE(ParseImageDims(bare.data(), bare.size(), dims));
  EXPECT_EQ(dims.height, -480);
  EXPECT_EQ(dims.horizontalOnly, 0);
  EXPECT_EQ(dims.verticalOnly, 0);

  // One flag byte only: it is horizontalOnly; nothing past the record.
  const Bytes one = DimsRecord(1, 1, "x", {7});
  ASSERT_TRUE(ParseImageDims(one.data(), one.size(), dims));
  EXPECT_EQ(dims.horizontalOnly, 7);
  EXPECT_EQ(dims.verticalOnly, 0);

  // Bytes after the flags are ignored.
  const Bytes longer = DimsRecord(1, 1, "x", {0, 1, 9, 9});
  ASSERT_TRUE(ParseImageDims(longer.data(), longer.size(), dims));
  EXPECT_EQ(dims.horizontalOnly, 0);
  EXPECT_EQ(dims.verticalOnly, 1);
}

TEST(ImageRecords, TruncatedRecordsAreRejectedAndLeaveTheEntry) {
  const Bytes dimsRecord = DimsRecord(256, 256, "m1.jpg", {});
  ImageDims dims;
  dims.name = "kept";
  for (size_t cut = 0; cut < dimsRecord.size(); ++cut) {
    // A copy of exactly `cut` bytes, so ASan sees any read past it.
    const Bytes part(dimsRecord.begin(), dimsRecord.begin() + static_cast<long>(cut));
    EXPECT_FALSE(ParseImageDims(part.data(), part.size(), dims)) << cut;
  }
  EXPECT_EQ(dims.name, "kept");
  EXPECT_FALSE(ParseImageDims(nullptr, 20, dims));

  ImageCaption caption;
  caption.name = "m1.jpg";
  caption.text = "The Crab";
  Bytes captionRecord;
  ASSERT_TRUE(SerializeImageCaption(caption, captionRecord));
  ImageCaption read;
  for (size_t cut = 0; cut < captionRecord.size(); ++cut) {
    const Bytes part(captionRecord.begin(), captionRecord.begin() + static_cast<long>(cut));
    EXPECT_FALSE(ParseImageCaption(part.data(), part.size(), read)) << cut;
  }
  EXPECT_TRUE(read.name.empty());
  EXPECT_TRUE(ParseImageCaption(captionRecord.data(), captionRecord.size(), read));
}

TEST(ImageRecords, CaptionsKeepValuesAndLineBreaks) {
  ImageCaption caption;
  caption.values[0] = 1;
  caption.values[1] = 0xBEEF;
  caption.values[2] = 65535;
  caption.name = "ngc1300.jpg";
  caption.text = "NGC 1300\r\nBarred spiral galaxy\nin Eridanus";
  Bytes record;
  ASSERT_TRUE(SerializeImageCaption(caption, record));
  EXPECT_EQ(record.size(), 6 + caption.name.size() + 1 + caption.text.size() + 1);
  EXPECT_EQ(record[2], 0xEF);  // little-endian
  EXPECT_EQ(record[3], 0xBE);

  ImageCaption read;
  ASSERT_TRUE(ParseImageCaption(record.data(), record.size(), read));
  EXPECT_EQ(read.values[0], 1);
  EXPECT_EQ(read.values[1], 0xBEEF);
  EXPECT_EQ(read.values[2], 65535);
  EXPECT_EQ(read.name, caption.name);
  EXPECT_EQ(read.text, caption.text);

  // An empty caption is a text too.
  caption.text.clear();
  ASSERT_TRUE(SerializeImageCaption(caption, record));
  ASSERT_TRUE(ParseImageCaption(record.data(), record.size(), read));
  EXPECT_EQ(read.text, "");

  caption.text = std::string("two\0texts", 9);
  EXPECT_FALSE(SerializeImageCaption(caption, record));
  ImageDims dims;
  dims.name = std::string("a\0b", 3);
  EXPECT_FALSE(SerializeImageDims(dims, true, record));
}

TEST(ImageRecords, DimsWriteTheLayoutTheReaderExpects) {
  ImageDims dims;
  dims.width = -1;
  dims.height = 0x01020304;
  dims.name = "m51.jpg";
  dims.horizontalOnly = 1;
  dims.verticalOnly = 2;
  Bytes bare, flagged;
  ASSERT_TRUE(SerializeImageDims(dims, false, bare));
  ASSERT_TRUE(SerializeImageDims(dims, true, flagged));
  EXPECT_EQ(bare, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 'm', '5', '1', '.', 'j', 'p', 'g', 0}));
  bare.push_back(1);
  bare.push_back(2);
  EXPECT_EQ(flagged, bare);
}

TEST(ImageRecords, LookupIsExactFirstMatchElseEntryZero) {
  std::vector<ImageDims> table(4);
  table[0].name = "first.jpg";
  table[1].name = "m42.jpg";
  table[1].width = 1;
  table[2].name = "m42.jpg";
  table[2].width = 2;
  table[3].name = "M31.jpg";

  EXPECT_EQ(FindImageRecordIndex(table, "m42.jpg"), 1);
  EXPECT_EQ(FindImageRecord(table, "m42.jpg")->width, 1);
  EXPECT_EQ(FindImageRecordIndex(table, "M31.jpg"), 3);
  EXPECT_EQ(FindImageRecordIndex(table, "m31.jpg"), 0);   // case counts
  EXPECT_EQ(FindImageRecordIndex(table, "m42.jp"), 0);    // length counts
  EXPECT_EQ(FindImageRecordIndex(table, "m42.jpg "), 0);
  EXPECT_EQ(FindImageRecord(table, "none.jpg"), &table[0]);

  const std::vector<ImageCaption> none;
  EXPECT_EQ(FindImageRecordIndex(none, "m42.jpg"), -1);
  EXPECT_EQ(FindImageRecord(none, "m42.jpg"), nullptr);
}

TEST(ImageRecords, TablesComeFromTheBundleInDirectoryOrder) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zv_records_" + std::to_string(std::random_device()()));
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  const std::string path = (folder / "images.bdl").string();

  BundleWriter writer;
  writer.AddCategory("dims");
  writer.AddFile("b.dims", DimsRecord(200, 100, "b.jpg", {0, 1}));
  writer.AddFile("broken.dims", Bytes{1, 2, 3});
  writer.AddFile("a.dims", DimsRecord(100, 200, "a.jpg", {}));
  writer.AddCategory("caps");
  ImageCaption caption;
  caption.name = "a.jpg";
  caption.text = "Line one\nLine two";
  Bytes record;
  ASSERT_TRUE(SerializeImageCaption(caption, record));
  writer.AddFile("a.caps", record);
  ASSERT_TRUE(writer.WriteTo(path));

  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path));
  const std::vector<ImageDims> dims = ReadImageDimsTable(*bundle.FindCategory("dims"));
  ASSERT_EQ(dims.size(), 2u);  // the unparseable record is left out
  EXPECT_EQ(dims[0].name, "b.jpg");
  EXPECT_EQ(dims[0].verticalOnly, 1);
  EXPECT_EQ(dims[1].height, 200);
  const std::vector<ImageCaption> captions = ReadImageCaptionTable(*bundle.FindCategory("caps"));
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0].text, "Line one\nLine two");
  EXPECT_EQ(FindImageRecord(captions, "b.jpg")->name, "a.jpg");

  std::filesystem::remove_all(folder);
}

}  // namespace
