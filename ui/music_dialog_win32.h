// The music selection dialog (resource 154): edits the user's custom
// playlist file, the songs the saver plays when custom music is on. OK
// rewrites the file (or deletes it for an empty list); Cancel asks first.
#pragma once

#include <windows.h>

#include <string>

struct SongPickers;

// Runs the dialog modally; 1 for OK, 2 for Cancel.
INT_PTR RunMusicDialog(HWND owner, const std::string& playlistFile, SongPickers& pickers);
