#include <gtest/gtest.h>

#include "host/command_line.h"

namespace {

struct Row {
  const char* line;
  RunMode mode;
  std::uintptr_t parent;
  bool foreground;
  bool install;
  MaintenanceCommand maintenance;
  bool readsDumpType;
};

const Row kRows[] = {
    // Nothing after the program name: settings, no owner, no dump type.
    {"ZelvoraPelk.scr", RunMode_Config, 0, false, false, Maintenance_None, false},
    {"\"C:\\Program Files\\Zelvora\\ZelvoraPelk.scr\"   ", RunMode_Config, 0, false, false, Maintenance_None, false},
    {"\"C:\\Program Files\\Zelvora\\ZelvoraPelk.scr\" /s", RunMode_Saver, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /c", RunMode_Config, 0, true, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /c:  ", RunMode_Config, 0, true, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /c:1234", RunMode_Config, 1234, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /c 1234", RunMode_Config, 1234, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /p 5678", RunMode_Preview, 5678, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr -l:5678", RunMode_Preview, 5678, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /P", RunMode_Preview, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr S", RunMode_Saver, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /scr 99", RunMode_Saver, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /S /dumpType 2", RunMode_Saver, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /a 42", RunMode_ChangePassword, 42, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /A:", RunMode_ChangePassword, 0, false, false, Maintenance_None, true},
    {"ZelvoraPelk.scr /z", RunMode_None, 0, false, true, Maintenance_None, true},
    {"ZelvoraPelk.scr /uninstall", RunMode_None, 0, false, false, Maintenance_Uninstall, false},
    {"ZelvoraPelk.scr UNINSTALL", RunMode_None, 0, false, false, Maintenance_Uninstall, false},
    {"ZelvoraPelk.scr initialsecurity", RunMode_None, 0, false, false, Maintenance_InitialSecurity, false},
    {"ZelvoraPelk.scr /x", RunMode_None, 0, false, false, Maintenance_None, true},
    // A handle too large for a pointer is no handle.
    {"ZelvoraPelk.scr /p 999999999999999999999999", RunMode_Preview, 0, false, false, Maintenance_None, true},
    // A switch with nothing after the slash is an unknown letter.
    {"ZelvoraPelk.scr /", RunMode_None, 0, false, false, Maintenance_None, true},
};

TEST(CommandLine, EveryRowOfTheTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.line);
    const ParsedCommandLine parsed = ParseCommandLine(row.line);
    EXPECT_EQ(parsed.runMode, row.mode);
    EXPECT_EQ(parsed.parentWindow, row.parent);
    EXPECT_EQ(parsed.useForegroundWindow, row.foreground);
    EXPECT_EQ(parsed.installRequested, row.install);
    EXPECT_EQ(parsed.maintenance, row.maintenance);
    EXPECT_EQ(parsed.readsDumpType, row.readsDumpType);
  }
}

TEST(CommandLine, UnterminatedQuoteIsAllProgramName) {
  const ParsedCommandLine parsed = ParseCommandLine("\"C:\\Zelvora\\ZelvoraPelk.scr /s");
  EXPECT_EQ(parsed.runMode, RunMode_Config);
}

TEST(CommandLine, ContainsNoCase) {
  EXPECT_EQ(ContainsNoCase("C:\\x\\SCR /DumpType 2", "/dumptype"), 9u);
  EXPECT_EQ(ContainsNoCase("abc", "abcd"), std::string::npos);
  EXPECT_EQ(ContainsNoCase("abc", ""), 0u);
  EXPECT_EQ(ContainsNoCase("aXbXc", "xc"), 3u);
}

TEST(CommandLine, NamedValueIsTheArgumentAfterTheFirstMatch) {
  std::string value;
  EXPECT_TRUE(FindArgumentValue({"prog.scr", "/S", "/dumpType", "2"}, "dumptype", value));
  EXPECT_EQ(value, "2");
  // A matching last argument has no value; a later pair still counts.
  EXPECT_FALSE(FindArgumentValue({"prog.scr", "/dumpType"}, "dumpType", value));
  EXPECT_TRUE(FindArgumentValue({"prog.scr", "-DUMPTYPE", "7", "/dumpType", "9"}, "dumpType", value));
  EXPECT_EQ(value, "7");
}

TEST(CommandLine, IntegerValuesAndDumpType) {
  EXPECT_EQ(ParseCommandLineInt("2"), 2);
  EXPECT_EQ(ParseCommandLineInt("-1"), -1);
  EXPECT_EQ(ParseCommandLineInt("x"), 0);
  EXPECT_EQ(ParseCommandLineInt(""), 0);
  EXPECT_EQ(ParseCommandLineInt("99999999999999999999"), 0);
  EXPECT_EQ(NormaliseDumpType(-1), 0);
  EXPECT_EQ(NormaliseDumpType(2), 2);
}

}  // namespace
