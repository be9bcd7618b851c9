// The saver run in saver and preview mode: windows, display mode, device and
// music set-up, the main loop, and the rules that end the saver.
#pragma once

#include <windows.h>

#include "foundation/saver_settings.h"
#include "graphics/monitors_win32.h"

extern HWND saverWindow;
extern HDC saverDC;
extern bool quitRequested;
extern bool displayModeChanged;
// The desktop's size before any display-mode change.
extern int desktopWidth;
extern int desktopHeight;
extern int requestedWidth;
extern int requestedHeight;
extern int requestedBits;
extern MonitorTable monitorTable;

void DoSaver(HWND parent, int showCommand);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK BlankingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// How every rule that wants the saver to end asks for it.
void RequestClose(SaverSettings* settings);
bool VerifySaverPassword(HWND window);
// A message box that marks the saver as showing one, so input does not end it.
void ShowError(const char* text, const char* caption, HWND owner, UINT icon = 0);
// Handles one pending message, if any; lets long drawing steps stay responsive.
void PumpOneMessage();
