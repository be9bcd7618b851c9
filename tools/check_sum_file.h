// Writes chk.sum, the file the saver checks its installation against:
// eight little-endian CRC-32 slots, 32 bytes. Slot 2 is images.bdl, 4 the
// copy installed in the Windows folder, 5 ZelvoraPelk.scr, 6
// ZelvoraPelk.exe; the others are written as 0 (0 and 1 named libraries
// that are now part of the program, 3 and 7 are reserved).
#pragma once

#include <string>

struct CheckSumFiles {
  std::string bundle;          // slot 2
  std::string installedSaver;  // slot 4
  std::string saver;           // slot 5
  std::string saverExe;        // slot 6
};

// False, writing nothing, when a file cannot be read; `error` names it.
bool WriteCheckSumFile(const std::string& output, const CheckSumFiles& files, std::string& error);
