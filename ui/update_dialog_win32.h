// "Checking for Updates" (resource 167): asks the maker's server whether a
// newer version exists and shows its message and download link.
#pragma once

#include <windows.h>

#include <string>

INT_PTR RunUpdateDialog(HWND owner, const std::string& webServer);
