// Small services of the system that start-up uses: the login name, the
// version of Windows, starting programs and the 9x password dialog.
#pragma once

#include <string>

#include "host/os_version.h"

// The login name (at most 256 characters); false when it cannot be read.
bool LoginName(std::string& name);
OsVersion QueryOsVersion();
bool RunningWindows2000OrLater();
// Starts `path` with " /c" so it opens its settings in a new process.
void RunProgram(const std::string& path);
// The Display control panel's screen-saver choice, with this saver selected.
void InstallSaver(const std::string& path);
void ChangeSaverPassword(void* owner);
