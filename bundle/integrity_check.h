// The check of the installed files against chk.sum, run after a failed run
// and by the crash filter: a damaged installation earns the advice to
// re-install rather than an error report.
#pragma once

#include <string>

// chk.sum in `moduleDir` (which ends in a separator) holds eight
// little-endian CRC-32 slots. Checked, in this order: 2 images.bdl,
// 4 `windowsDir` (no trailing separator) + ZelvoraPelk.scr, 5 ZelvoraPelk.scr
// and 6 ZelvoraPelk.exe beside the program. Slots 0 and 1 named the DLLs of
// the imaging and audio libraries, which are now linked into the program, so
// like 3 and 7 they are reserved. A missing or short chk.sum, a missing file
// or a differing CRC fails the check.
bool CheckInstalledFiles(const std::string& moduleDir, const std::string& windowsDir);
