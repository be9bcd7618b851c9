#include "foundation/logger.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class FixedClock : public LogClock {
 public:
  LocalTime Now() override { return time; }
  LocalTime time = MondayMorning();

  static LocalTime MondayMorning() {
    LocalTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 7;
    t.hour = 10;
    t.minute = 57;
    t.second = 45;
    t.weekday = 1;
    return t;
  }
};

const std::string kBegin =
    "---------------------------------------------- Log begins on Mon Dec  7 10:57:45 2026 "
    "----------------------------------------------\n";
const std::string kEnd =
    "----------------------------------------------- Log ends on Mon Dec  7 10:57:45 2026 "
    "-----------------------------------------------\n\n\n\n\n";
const std::string kMinimal = "     Minimal";  // ".\Minimal" in 12 columns
const std::string kTime = "12/07 10:57:45 ";
const std::string kNoSite = std::string(12, ' ') + "[0000]";  // before any site

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "zv_logger_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::remove(path_.c_str());
  }
  void TearDown() override {
    theLogger = nullptr;
    std::remove(path_.c_str());
  }

  std::string path_;
  FixedClock clock_;
};

TEST_F(LoggerTest, GoldenSession) {
  {
    Logger log(path_, &clock_);
    log.Write("no site yet", kLogInfo);
    log.sourceFile = ".\\Minimal";
    log.sourceLine = 9295;
    log.Write("OS is Windows XP", kLogInfo);
    log.sourceFile = "C:\\src\\deep\\Slideshow.cpp";
    log.sourceLine = 12345;  // wider than four digits
    clock_.time.month = 1;
    clock_.time.day = 2;
    clock_.time.hour = 3;
    clock_.time.minute = 4;
    clock_.time.second = 5;
    log.Write("odd", kLogCritical);
    clock_.time = FixedClock::MondayMorning();
    log.sourceFile = "NoBackslash";
    log.sourceLine = 7;
    log.Write("marker", 99);
    log.Write("all", kLogAll);
    log.WriteRaw("raw\ttext");
    log.WriteRaw("|\n");
  }
  const std::string expected =
      kBegin +
      "I " + kNoSite + kTime + "no site yet\n" +
      "I " + kMinimal + "[9295]" + kTime + "OS is Windows XP\n" +
      "! Slideshow.cpp[12345]01/02 03:04:05 odd\n" +
      "   NoBackslash[0007]" + kTime + "marker\n" +
      "A  NoBackslash[0007]" + kTime + "all\n" +
      "raw\ttext|\n" +
      kEnd;
  EXPECT_EQ(ReadFile(path_), expected);
}

TEST_F(LoggerTest, BlocksIndentWithGuideBars) {
  {
    Logger log(path_, &clock_);
    log.sourceFile = ".\\Minimal";
    log.BeginBlock("outer", kLogBegin);
    log.Write("one deep", kLogInfo);
    log.BeginBlock("inner", kLogFunction);
    log.Write("two deep", kLogError);
    log.EndBlock("inner", kLogFunction);
    log.EndBlock("outer", kLogEnd);
    EXPECT_EQ(log.indent, 0);
    log.EndBlock("unmatched", kLogEnd);
    EXPECT_EQ(log.indent, 0);
    log.Write("back at zero", kLogInfo);
  }
  const std::string site = kMinimal + "[0000]" + kTime;
  const std::string expected =
      kBegin +
      "> " + site + " +- outer\n" +
      "I " + site + " |  one deep\n" +
      "F " + site + " |   +- inner\n" +
      "E " + site + " |   |  two deep\n" +
      "F " + site + " |   +- inner\n" +
      "< " + site + " +- outer\n" +
      "< " + site + " +- unmatched\n" +
      "I " + site + "back at zero\n" +
      kEnd;
  EXPECT_EQ(ReadFile(path_), expected);
}

TEST_F(LoggerTest, HexDumpRowsOfTwenty) {
  const unsigned char bytes[25] = {'H', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd', '!',
                                   0x00, 0x1F, 0x7F, 0x80, 0xFF, 0x20, 0x7E,
                                   'A', 'B', 'C', 0x0A, 0xC3};
  {
    Logger log(path_, &clock_);
    log.HexDump(bytes, 25, kLogInfo);
    log.HexDump(nullptr, 25, kLogInfo);
    log.HexDump(bytes, 0, kLogInfo);
  }
  const std::string site = "I " + kNoSite + kTime;
  std::string filler;
  for (int i = 0; i < 15; ++i) filler += "-- ";
  const std::string expected =
      kBegin +
      site + "48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 00 1F 7F 80 FF 20 7E " +
      "Hello, world!..\x7f.. ~\n" +
      site + "41 42 43 0A C3 " + filler + "ABC.." + std::string(15, '.') + "\n" +
      kEnd;
  EXPECT_EQ(ReadFile(path_), expected);
}

TEST_F(LoggerTest, TypeMaskNeedsOneSharedBit) {
  {
    Logger log(path_, &clock_);
    log.typeMask = kLogEnd;  // 2 is also a bit of 18
    log.Write("info", kLogInfo);
    log.Write("critical", kLogCritical);
    log.BeginBlock("masked", kLogBegin);
    EXPECT_EQ(log.indent, 0);
    log.HexDump("x", 1, kLogFunction);
    log.EndBlock("end", kLogEnd);
    log.WriteRaw("raw ignores the mask\n");
  }
  const std::string site = kNoSite + kTime;
  EXPECT_EQ(ReadFile(path_),
            kBegin + "I " + site + "info\n" + "< " + site + " +- end\n" + "raw ignores the mask\n" + kEnd);
}

TEST_F(LoggerTest, NewRunReplacesTheOldLogAndBannersComeOnce) {
  {
    Logger first(path_, &clock_);
    first.Write("first run", kLogInfo);
  }
  {
    Logger log(path_, &clock_);
    log.BeginLog();  // already open: no second banner, no deletion
    log.EndLog();
    log.EndLog();
  }
  EXPECT_EQ(ReadFile(path_), kBegin + kEnd);

  Logger lost(::testing::TempDir() + "no_such_folder/log.txt", &clock_);
  lost.BeginBlock("lost", kLogBegin);
  EXPECT_EQ(lost.indent, 0);  // indentation only grows after a written line
}

TEST_F(LoggerTest, SitesAndScopesThroughTheGlobalLogger) {
  int evaluated = 0;
  ZV_LOG_INFO("skipped " << ++evaluated);
  { ZV_LOG_FUNCTION("nothing()"); }
  EXPECT_EQ(evaluated, 0);

  Logger log(path_, &clock_);
  theLogger = &log;
  int functionLine = 0, blockLine = 0, infoLine = 0, errorLine = 0;
  {
    functionLine = __LINE__ + 1;
    ZV_LOG_FUNCTION("initD3D()");
    {
      blockLine = __LINE__ + 1;
      ZV_LOG_BLOCK("Screensaver settings:");
      infoLine = __LINE__ + 1;
      ZV_LOG_INFO("FastMode: " << 1 << ", value " << 2.5);
    }
    errorLine = __LINE__ + 1;
    ZV_LOG_ERROR("Could not open the image bundle!");
    ZV_LOG(kLogError, "Exception caught on DestroyWindow()");
  }
  theLogger = nullptr;

  auto site = [](const char* marker, int line) {
    char text[64];
    std::snprintf(text, sizeof(text), "%s     Minimal[%04d]", marker, line);
    return text + kTime;
  };
  const std::string expected =
      kBegin +
      site("F ", functionLine) + " +- Enter function: initD3D()\n" +
      site("> ", blockLine) + " |   +- Begin block: Screensaver settings:\n" +
      site("I ", infoLine) + " |   |  FastMode: 1, value 2.5\n" +
      site("< ", infoLine) + " |   +- End block: Screensaver settings:\n" +
      site("! ", errorLine) + " |  Could not open the image bundle!\n" +
      site("E ", errorLine + 1) + " |  Exception caught on DestroyWindow()\n" +
      site("F ", errorLine + 1) + " +- Exit function: initD3D()\n";
  EXPECT_EQ(ReadFile(path_), expected);
}

}  // namespace
