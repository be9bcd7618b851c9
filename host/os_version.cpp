#include "host/os_version.h"

OsVersion ClassifyOsVersion(int platformId, unsigned major, unsigned minor) {
  switch (platformId) {
    case OsPlatform_Win32s:
      return Os_Win31;
    case OsPlatform_Windows9x:
      if (minor == 0) return Os_Win95;
      if (minor == 90) return Os_WinMe;
      return Os_Win98;
    case OsPlatform_WindowsNT:
      if (major <= 4) return Os_WinNT;
      if (major == 5) {
        if (minor == 0) return Os_Win2000;
        if (minor == 1) return Os_WinXP;
        return Os_Win2003;
      }
      return Os_Unknown;
    default:
      return Os_Unknown;
  }
}

const char* OsVersionName(int code) {
  static const char* const kNames[] = {
      "Unsupported", "Windows 3.1", "Windows 95", "Windows 98",    "Windows Me", "Windows NT",
      "Windows 2000", "Windows XP", "Windows 2003", "Windows Vista", "Unknown",
  };
  if (code < 0 || code > Os_Unknown) return kNames[Os_Unknown];
  return kNames[code];
}

bool IsWindows2000OrLater(int platformId, unsigned major) {
  return platformId == OsPlatform_WindowsNT && major > 4;
}
