#include "host/host_state.h"

RunMode runMode = RunMode_None;
void* parentWindow = nullptr;
bool installRequested = false;
int dumpType = 0;
std::string modulePath;
std::string moduleDir;
std::string helpFilePath;
std::string bundlePath;
std::string reporterPath;
std::string appDataDir;
std::string playlistPath;
std::string wallpaperPath;
OsVersion osVersion = Os_Unknown;
int screenWidth = 0;
int screenHeight = 0;

const char* const kDataFolderRecordSuffix = "\\AppData";
