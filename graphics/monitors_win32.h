// The monitor table on Windows: the adapters as EnumDisplayDevices reports
// them, and the black blanking windows that cover the secondary monitors
// while the saver runs. Every window operation skips the primary record and
// records without a monitor, so an empty table makes them all no-ops.
#pragma once

#include <windows.h>

#include "graphics/monitors.h"

// Fills the table from the system's display adapters (at most nine).
void EnumerateMonitors(MonitorTable& table);

// Creates a topmost, visible popup of the given class and title at the rect
// of every record that needs one, owned by parentWindow, with the table as
// creation parameter. Stops at the first window that cannot be created and
// returns E_FAIL (windows made before it remain); S_OK otherwise.
HRESULT CreateChildWindows(MonitorTable& table, HWND parentWindow, HINSTANCE instance,
                           const char* className, const char* windowTitle);

// Takes each monitor's current rectangle from the system and moves the
// record's window there, topmost, without activating it.
void AdjustChildWindows(MonitorTable& table);

// ShowWindow with showCommand on every blanking window.
void ShowChildWindows(MonitorTable& table, int showCommand);

// Destroys the window of every non-primary record and clears it.
void DestroyChildWindows(MonitorTable& table);
