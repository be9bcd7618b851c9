// Process-wide state of the screen-saver host, written once during start-up.
#pragma once

#include <string>

#include "host/os_version.h"
#include "host/run_mode.h"

extern RunMode runMode;
extern void* parentWindow;  // preview host, password owner or dialog owner
extern bool installRequested;
extern int dumpType;
extern std::string modulePath;
extern std::string moduleDir;  // ends in a separator
extern std::string helpFilePath;
extern std::string bundlePath;
extern std::string reporterPath;
extern std::string appDataDir;  // ends in a separator
extern std::string playlistPath;
extern std::string wallpaperPath;
extern OsVersion osVersion;
extern int screenWidth;
extern int screenHeight;

// Suffix of the machine-wide record of per-user data folders.
extern const char* const kDataFolderRecordSuffix;
