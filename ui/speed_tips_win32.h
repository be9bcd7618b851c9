// The speed-up tips (resource 141), shown over the settings dialog when the
// last run was slow. "Never show this window again!" stores ShowSpeedTip 0
// at once, whatever the settings dialog ends with.
#pragma once

#include <windows.h>

class SaverSettings;

// 1 for "Continue", 2 for "Never show this window again!".
INT_PTR RunSpeedTips(HWND owner, SaverSettings& settings);
