#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/bundle_writer.h"
#include "bundle/image_data.h"
#include "bundle/image_records.h"
#include "tests/support/jpeg_samples.h"
#include "tools/zvbundle_cli.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class ZvbundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("zvbundle_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string P(const std::string& name) const { return (dir_ / name).string(); }

  void Write(const std::string& name, const Bytes& bytes) {
    fs::create_directories(fs::path(P(name)).parent_path());
    std::ofstream(P(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  void WriteText(const std::string& name, const std::string& text) { Write(name, Bytes(text.begin(), text.end())); }

  Bytes Read(const std::string& name) const {
    std::ifstream in(P(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  int Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunZvbundle(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return code;
  }

  fs::path dir_;
  std::string out_, err_;
};

TEST_F(ZvbundleTest, FolderPacksListsAndExtractsToTheSameBytes) {
  const Bytes binary = {0, 1, 2, 0, 255, '?', 0};
  Write("src/b_music/track.ogg", binary);
  WriteText("src/a_image/z.jpg", "zz");
  WriteText("src/a_image/m.jpg", "mmm");
  WriteText("src/a_image/.gitkeep", "");
  fs::create_directories(P("src/empty"));
  WriteText("src/loose.txt", "not a category");

  ASSERT_EQ(kZvOk, Run({"pack", P("out.bdl"), P("src")})) << err_;
  EXPECT_NE(std::string::npos, err_.find("loose.txt"));
  // Categories and files in name order, offsets from byte 0, the empty
  // category kept.
  ASSERT_EQ(kZvOk, Run({"list", P("out.bdl")})) << err_;
  EXPECT_EQ("a_image\tm.jpg\t0\t3\na_image\tz.jpg\t3\t2\nb_music\ttrack.ogg\t5\t7\nempty\n", out_);

  ASSERT_EQ(kZvOk, Run({"extract", P("out.bdl"), P("x")})) << err_;
  EXPECT_EQ(binary, Read("x/b_music/track.ogg"));
  EXPECT_EQ(Read("src/a_image/m.jpg"), Read("x/a_image/m.jpg"));
  EXPECT_TRUE(fs::is_directory(P("x/empty")));
  EXPECT_FALSE(fs::exists(P("x/a_image/.gitkeep")));
}

TEST_F(ZvbundleTest, ManifestRecordsReadBackThroughTheSlideshowParsers) {
  CImageData picture;
  ASSERT_TRUE(picture.Create(5, 3));
  Write("pics/wide.bmp", picture.EncodeWindowsBitmap());
  WriteText("m.txt",
            "# demo\n"
            "@category\timage\n"
            "image\twide.bmp\tpics/wide.bmp\r\n"
            "@dims\twide.bmp\th\n"
            "@caps\twide.bmp\tRosette Nebula (NGC 2244)\\nimage: K \\\\ S\n"
            "@category\tmusic\n");
  ASSERT_EQ(kZvOk, Run({"pack", P("r.bdl"), "--manifest", P("m.txt")})) << err_;

  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(P("r.bdl")));
  std::vector<std::string> order;
  for (auto* c = bundle.categories.FirstNode(); c != nullptr; c = c->next) order.push_back(c->data->name);
  EXPECT_EQ((std::vector<std::string>{"image", "dims", "caps", "music"}), order);
  EXPECT_EQ(0, bundle.FindCategory("music")->files.Count());

  const std::vector<ImageDims> dims = ReadImageDimsTable(*bundle.FindCategory("dims"));
  ASSERT_EQ(1u, dims.size());
  EXPECT_EQ("wide.bmp", dims[0].name);
  EXPECT_EQ(5, dims[0].width);
  EXPECT_EQ(3, dims[0].height);
  EXPECT_EQ(1, dims[0].horizontalOnly);
  EXPECT_EQ(0, dims[0].verticalOnly);
  const std::vector<ImageCaption> caps = ReadImageCaptionTable(*bundle.FindCategory("caps"));
  ASSERT_EQ(1u, caps.size());
  EXPECT_EQ("wide.bmp", caps[0].name);
  EXPECT_EQ("Rosette Nebula (NGC 2244)\nimage: K \\ S", caps[0].text);
  EXPECT_EQ(picture.EncodeWindowsBitmap().size(), bundle.GetFileSize("image", "wide.bmp"));

  ASSERT_EQ(kZvOk, Run({"list", "--records", P("r.bdl")})) << err_;
  EXPECT_NE(std::string::npos, out_.find("\twide.bmp 5x3 horizontal-only\n"));
  EXPECT_NE(std::string::npos, out_.find("\twide.bmp \"Rosette Nebula (NGC 2244)\\nimage: K \\\\ S\"\n"));
}

TEST_F(ZvbundleTest, TurnedPhotographsKeepTheirBytesAndGetUprightDims) {
  // Stored 40 x 24, shown 24 x 40; a damaged copy of it is refused.
  jpeg_samples::Options turned;
  turned.orientation = 6;
  const Bytes jpeg = jpeg_samples::Encode(jpeg_samples::Quadrants(40, 24), turned);
  Write("side.jpg", jpeg);
  Write("flat.jpg", jpeg_samples::Encode(jpeg_samples::Quadrants(40, 24)));
  Bytes damaged = jpeg;
  for (size_t i = damaged.size() - 40; i < damaged.size() - 8; ++i) damaged[i] = 0xFE;
  Write("damaged.jpg", damaged);
  WriteText("m.txt",
            "@category\timage\n"
            "image\tside.jpg\tside.jpg\n"
            "image\tflat.jpg\tflat.jpg\n"
            "@category\tdims\n"
            "@dims\tside.jpg\n"
            "@dims\tflat.jpg\n");
  ASSERT_EQ(kZvOk, Run({"pack", P("t.bdl"), "--manifest", P("m.txt")})) << err_;
  ASSERT_EQ(kZvOk, Run({"list", "--records", P("t.bdl")})) << err_;
  EXPECT_NE(std::string::npos, out_.find("\tside.jpg 24x40\n")) << out_;
  EXPECT_NE(std::string::npos, out_.find("\tflat.jpg 40x24\n")) << out_;
  ASSERT_EQ(kZvOk, Run({"extract", P("t.bdl"), P("x")})) << err_;
  EXPECT_EQ(jpeg, Read("x/image/side.jpg"));

  WriteText("bad.txt", "image\tside.jpg\tdamaged.jpg\n@dims\tside.jpg\n");
  EXPECT_EQ(kZvFailed, Run({"pack", P("bad.bdl"), "--manifest", P("bad.txt")}));
  EXPECT_NE(std::string::npos, err_.find("does not decode")) << err_;
}

TEST_F(ZvbundleTest, BadManifestsFailWithTheLineAndWriteNothing) {
  WriteText("a.jpg", "not really an image");
  const struct {
    const char* manifest;
    const char* message;
  } cases[] = {
      {"image\ta.jpg\ta.jpg\n@frobnicate\tx\n", "m.txt:2: unknown directive"},
      {"image\ta.jpg\ta.jpg\n@dims\tb.jpg\n", "m.txt:2: no \"image\" entry named b.jpg"},
      {"image\ta.jpg\ta.jpg\n@dims\ta.jpg\n", "does not decode"},
      {"image\ta.jpg\ta.jpg\n@dims\ta.jpg\tx\n", "m.txt:2: @dims flags"},
      {"image\ta.jpg\ta.jpg\nimage\tA.JPG\ta.jpg\n", "m.txt:2: image/A.JPG repeats"},
      {"image\ta.jpg\ta.jpg\n@caps\ta.jpg\tbad \\q escape\n", "m.txt:2: unknown escape"},
      {"image\ta.jpg\tmissing.jpg\n", "cannot read"},
      {"image\ta.jpg\n", "m.txt:1: expected CATEGORY<TAB>NAME<TAB>PATH"},
      {"image\t?a.jpg\ta.jpg\n", "cannot add image/?a.jpg"},
  };
  for (const auto& c : cases) {
    WriteText("m.txt", c.manifest);
    EXPECT_EQ(kZvFailed, Run({"pack", P("bad.bdl"), "--manifest", P("m.txt")})) << c.manifest;
    EXPECT_NE(std::string::npos, err_.find(c.message)) << c.manifest << "\n" << err_;
    EXPECT_FALSE(fs::exists(P("bad.bdl"))) << c.manifest;
  }
  EXPECT_EQ(kZvFailed, Run({"pack", P("bad.bdl"), "--manifest", P("none.txt")}));
  EXPECT_EQ(kZvUsage, Run({}));
  EXPECT_EQ(kZvUsage, Run({"pack", P("bad.bdl")}));
  EXPECT_EQ(kZvUsage, Run({"unpack", P("bad.bdl")}));
}

TEST_F(ZvbundleTest, DamagedBundlesGiveCleanErrors) {
  BundleWriter writer;
  ASSERT_TRUE(writer.AddCategory("image"));
  ASSERT_TRUE(writer.AddFile("a.jpg", Bytes(40, 7)));
  ASSERT_TRUE(writer.AddFile("b.jpg", Bytes(30, 8)));
  ASSERT_TRUE(writer.WriteTo(P("good.bdl")));
  const Bytes good = Read("good.bdl");

  // Every truncation: at most a clean refusal, never a crash or a hang.
  for (size_t length = 0; length < good.size(); ++length) {
    Write("cut.bdl", Bytes(good.begin(), good.begin() + length));
    EXPECT_EQ(kZvFailed, Run({"list", P("cut.bdl")})) << length;
  }
  // A record pointing past the data: listed and flagged, extraction skips it.
  Bytes far = good;
  far[70 + 7 + 6 + 3] = 0x7f;  // data, "?image\0", "a.jpg\0": high byte of its offset
  Write("far.bdl", far);
  EXPECT_EQ(kZvFailed, Run({"list", P("far.bdl")}));
  EXPECT_NE(std::string::npos, out_.find("a.jpg\t2130706432\t40\t(outside the data area)"));
  EXPECT_EQ(kZvFailed, Run({"extract", P("far.bdl"), P("x")}));
  EXPECT_NE(std::string::npos, err_.find("image/a.jpg: cannot read it"));
  EXPECT_EQ(Bytes(30, 8), Read("x/image/b.jpg"));

  EXPECT_EQ(kZvFailed, Run({"list", P("nothing-here.bdl")}));
  EXPECT_NE(std::string::npos, err_.find("no such file"));
}

TEST_F(ZvbundleTest, ExtractKeepsHostileNamesInsideTheFolder) {
  BundleWriter writer;
  ASSERT_TRUE(writer.AddCategory(".."));
  ASSERT_TRUE(writer.AddFile("up.txt", Bytes(3, 1)));
  ASSERT_TRUE(writer.AddCategory("ok"));
  ASSERT_TRUE(writer.AddFile("../escape.txt", Bytes(3, 2)));
  ASSERT_TRUE(writer.AddFile("Same.txt", Bytes(1, 3)));
  ASSERT_TRUE(writer.AddFile("same.txt", Bytes(1, 4)));
  ASSERT_TRUE(writer.WriteTo(P("evil.bdl")));
  EXPECT_EQ(kZvFailed, Run({"extract", P("evil.bdl"), P("x/y")}));
  EXPECT_FALSE(fs::exists(P("x/up.txt")));
  EXPECT_FALSE(fs::exists(P("x/escape.txt")));
  // The first of two names the reader cannot tell apart wins, as in a lookup.
  EXPECT_EQ(Bytes(1, 3), Read("x/y/ok/Same.txt"));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(P("x/y/ok")), fs::directory_iterator()));
}

TEST_F(ZvbundleTest, AppendStartsAtTheFormerLengthAndReplacesOnlyOnRequest) {
  const Bytes program(1000, 0x90);
  Write("prog.exe", program);
  WriteText("skin/skin/menuskin.jpg", "skin picture");
  WriteText("skin/skin/filmstrip.jpg", "strip");

  ASSERT_EQ(kZvOk, Run({"append", P("prog.exe"), P("skin")})) << err_;
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(P("prog.exe")));
  VFFILECAT* skin = bundle.FindCategory("skin");
  ASSERT_NE(nullptr, skin);
  EXPECT_EQ(1000u, skin->files.FirstNode()->data->offset);
  EXPECT_EQ("skin picture", std::string(reinterpret_cast<char*>(skin->LoadNamed("MENUSKIN.JPG")), 12));
  const Bytes once = Read("prog.exe");
  EXPECT_EQ(program, Bytes(once.begin(), once.begin() + 1000));

  EXPECT_EQ(kZvFailed, Run({"append", P("prog.exe"), P("skin")}));
  EXPECT_NE(std::string::npos, err_.find("already ends in a bundle"));
  EXPECT_EQ(once, Read("prog.exe"));
  ASSERT_EQ(kZvOk, Run({"append", "--replace", P("prog.exe"), P("skin")})) << err_;
  EXPECT_EQ(once, Read("prog.exe"));

  EXPECT_EQ(kZvFailed, Run({"append", P("missing.exe"), P("skin")}));
}

}  // namespace
