// Classification of the running Windows version, as the log and the crash
// dump rule see it. The inputs are the platform id and version numbers that
// GetVersionEx reports, so the table is testable anywhere.
#pragma once

enum OsVersion {
  Os_Unsupported = 0,
  Os_Win31 = 1,
  Os_Win95 = 2,
  Os_Win98 = 3,
  Os_WinMe = 4,
  Os_WinNT = 5,
  Os_Win2000 = 6,
  Os_WinXP = 7,
  Os_Win2003 = 8,
  Os_WinVista = 9,
  Os_Unknown = 10,
};

// Platform ids as the system numbers them.
enum OsPlatform {
  OsPlatform_Win32s = 0,
  OsPlatform_Windows9x = 1,
  OsPlatform_WindowsNT = 2,
};

OsVersion ClassifyOsVersion(int platformId, unsigned major, unsigned minor);
const char* OsVersionName(int code);
bool IsWindows2000OrLater(int platformId, unsigned major);
