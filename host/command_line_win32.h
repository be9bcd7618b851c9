// Named values on the process's own command line ("/dumpType 2"), split by
// the system's argument rules.
#pragma once

#include <string>

// The argument after the first one containing `name`; false when none.
bool GetCommandLineValue(const char* name, std::string& value);
// That value as a decimal integer; 0 when missing or out of range.
int GetCommandLineInt(const char* name);
