// The saver's windows and the rules that end the saver: keys, clicks and
// mouse movement, the close request with its password check, the cursor.
#pragma once

#include <windows.h>

#include "foundation/saver_settings.h"

extern const char kSaverClass[];
extern const char kChildClass[];
extern const char kChildTitle[];

// Registers both window classes; false when the saver's own class could not
// be registered.
bool RegisterSaverClasses(HINSTANCE instance);
void UnregisterSaverClasses(HINSTANCE instance);

// Where the mouse rule measures movement from.
void AnchorCursor();
// How every rule that wants the saver to end asks for it.
void RequestClose(SaverSettings* settings);
bool VerifySaverPassword(HWND window);
