// The screen-saver command line: the switches the system's screen-saver
// machinery passes (/s, /p, /l, /c, /a), the installer's /z and the two
// maintenance words. Pure text processing, so the whole table is unit-tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/text_search.h"
#include "host/run_mode.h"

enum MaintenanceCommand {
  Maintenance_None = 0,
  Maintenance_Uninstall,
  Maintenance_InitialSecurity,
};

struct ParsedCommandLine {
  RunMode runMode = RunMode_None;
  // Decimal window handle that followed /p, /l, /c or /a (0 when absent).
  std::uintptr_t parentWindow = 0;
  // /c with nothing after it: the owner is the current foreground window.
  bool useForegroundWindow = false;
  bool installRequested = false;
  MaintenanceCommand maintenance = Maintenance_None;
  // The letter table was reached, so "/dumpType" is looked for.
  bool readsDumpType = false;
};

// Reads the whole command line (program name first, as the system gives it).
ParsedCommandLine ParseCommandLine(const std::string& commandLine);

// The argument after the first one that contains `name` (case-insensitive);
// false when there is no such pair.
bool FindArgumentValue(const std::vector<std::string>& args, const std::string& name,
                       std::string& value);

// Decimal integer with an optional sign; 0 when it is not a number or overflows.
int ParseCommandLineInt(const std::string& text);

// The dump type as start-up stores it: -1 means "not given" and becomes 0.
int NormaliseDumpType(int value);
