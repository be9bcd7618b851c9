// The saver's own answer to an unhandled exception: instead of the
// system's crash box, a damaged installation gets the advice to re-install,
// an intact one starts the error reporter and leaves a crash dump beside
// the log for it. Either way the crash values are reset and the process
// ends at once.
#pragma once

#include <windows.h>

// The entry point's very first act.
void InstallCrashFilter();

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exception);

// Writes appDataDir + "zv_minidump.dmp" through dbghelp.dll, loaded now, with
// the dump type of the command line. False on systems before XP, when the
// file cannot be made or when dbghelp or its function is missing.
bool WriteMiniDump(EXCEPTION_POINTERS* exception);

// Called by the main thread before it tears the run down: while another
// thread's crash is being handled it waits for the filter to end the
// process. Otherwise the reporter's window or the "corrupted" box taking
// the focus ends the saver, and the process would exit under the filter,
// with the box gone and the dump half written.
void WaitWhileCrashHandled();
