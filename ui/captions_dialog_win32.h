// The captions dialog (resource 165): whether captions are shown, their
// face, size, bold, italic and alignment, with a live sample. OK changes
// the settings in memory only; the settings dialog's OK stores them.
#pragma once

#include <windows.h>

class SaverSettings;

// Runs the dialog modally; 1 for OK, 2 for Cancel. `clearType`: the sample
// is drawn with ClearType (Windows 2000 and later), else antialiased.
INT_PTR RunCaptionsDialog(HWND owner, SaverSettings& settings, bool clearType);
