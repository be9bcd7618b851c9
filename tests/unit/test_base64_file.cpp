#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

extern "C" {
#include <b64/cencode.h>
}

#include "net/base64_file.h"
#include "tests/support/temp_folder.h"

namespace {

// Plain base64 with "=" padding, a line feed after every 72 characters and
// one at the end: what the server receives, written here without libb64.
std::string Reference(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string plain;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned long group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      plain += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
  }
  std::string lined;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    lined += plain[i];
    if ((i + 1) % 72 == 0) lined += '\n';
  }
  return lined + '\n';
}

// libb64's own output for the bytes in one call.
std::string Libb64(const std::string& bytes) {
  std::string code(bytes.size() * 2 + 16, '\0');
  base64_encodestate state;
  base64_init_encodestate(&state);
  int length = base64_encode_block(bytes.data(), static_cast<int>(bytes.size()), &code[0], &state);
  length += base64_encode_blockend(&code[length], &state);
  code.resize(static_cast<std::size_t>(length));
  return code;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

class Base64File : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.ok()); }
  TempFolder folder;
};

}  // namespace

TEST(Base64Target, DropsTheExtensionOfTheLastComponentOnly) {
  const struct {
    const char* source;
    const char* target;
  } cases[] = {
      {"C:\\Users\\u\\AppData\\PelkSoft\\Zelvora\\zv_minidump.dmp",
       "C:\\Users\\u\\AppData\\PelkSoft\\Zelvora\\zv_minidump.b64"},
      {"/tmp/dump.dmp", "/tmp/dump.b64"},
      {"C:\\a.b\\dump", "C:\\a.b\\dump.b64"},
      {"/a.b/dump", "/a.b/dump.b64"},
      {"C:\\a/b.c\\d", "C:\\a/b.c\\d.b64"},
      {"dir/x.tar.gz", "dir/x.tar.b64"},
      {"C:dump.dmp", "C:dump.b64"},
      {"dump", "dump.b64"},
      {"dir\\.hidden", "dir\\.b64"},
      {"dir/", "dir/.b64"},
      {"", ".b64"},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64TargetPath(c.source), c.target) << c.source;
}

TEST(Base64Reference, AgreesWithLibb64ExceptWhereThePaddedGroupEndsALine) {
  // libb64 breaks lines after complete groups only; a padded last group that
  // completes a line gets no line feed of its own, which ours adds.
  for (std::size_t size = 0; size <= 400; ++size) {
    const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
    const std::size_t rest = size % 54;
    if (rest == 52 || rest == 53) {
      EXPECT_EQ(Libb64(bytes) + "\n", Reference(bytes)) << size;
    } else {
      EXPECT_EQ(Libb64(bytes), Reference(bytes)) << size;
    }
  }
  EXPECT_EQ(Reference("Man"), "TWFu\n");
  EXPECT_EQ(Reference(std::string("\xff\xfe", 2)), "//4=\n");
}

TEST_F(Base64File, EncodesAcrossBlocksAndLines) {
  for (std::size_t size : {1, 2, 3, 52, 53, 54, 55, 107, 108, 4095, 4096, 4097, 8192, 10000}) {
    const std::string bytes = RandomBytes(size, 1000u + static_cast<unsigned>(size));
    const std::string source = folder.Write("zv_minidump.dmp", bytes);
    std::string text = "stale";
    ASSERT_TRUE(EncodeFileBase64(source, text)) << size;
    EXPECT_EQ(text, Reference(bytes)) << size;
    // The file beside the source holds the same text and stays there.
    EXPECT_EQ(folder.Read("zv_minidump.b64"), text) << size;
  }
}

TEST_F(Base64File, EmptyOrMissingSourceGivesOneLineFeed) {
  std::string text;
  ASSERT_TRUE(EncodeFileBase64(folder.Write("empty.dmp", ""), text));
  EXPECT_EQ(text, "\n");

  // An older, longer target is replaced, not overwritten in part.
  folder.Write("gone.b64", std::string(500, 'A'));
  ASSERT_TRUE(EncodeFileBase64(folder.path() + "gone.dmp", text));
  EXPECT_EQ(text, "\n");
  EXPECT_EQ(folder.Read("gone.b64"), "\n");
}

TEST_F(Base64File, TargetThatCannotBeWrittenGivesNoText) {
  std::string text = "stale";
  EXPECT_FALSE(EncodeFileBase64(folder.path() + "no/such/folder/x.dmp", text));
  EXPECT_EQ(text, "");
}
