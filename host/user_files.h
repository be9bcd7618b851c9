// Per-user file names and the rule that says which recorded folders the
// uninstaller may delete.
#pragma once

#include <string>

// The login name made safe as part of a file name: characters that Windows
// forbids in file names (and control characters) become "_".
std::string FileNameSafeUserName(const std::string& loginName);

// "<user>.M3U", or "Orbex.M3U" when the login name could not be read.
std::string PlaylistFileName(const std::string& loginName, bool nameKnown);

// "<user>_orbex.bmp", or "orbex.bmp" when the login name could not be read.
std::string WallpaperFileName(const std::string& loginName, bool nameKnown);

// True only for an absolute path whose last two components are
// "PelkSoft\Zelvora" (any case, trailing separator allowed) and that has no
// "." or ".." component. The record of data folders is writable by every
// user, so anything else found there is ignored rather than deleted.
bool IsProductDataFolder(const std::string& path);
