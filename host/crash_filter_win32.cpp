#include "host/crash_filter_win32.h"

#include <dbghelp.h>
#include <shellapi.h>

#include <atomic>

#include "bundle/file_helpers.h"
#include "bundle/integrity_check.h"
#include "foundation/product.h"
#include "foundation/saver_settings.h"
#include "host/host_state.h"
#include "host/instance_mutex_win32.h"

namespace {

const char kCorruptedText[] =
    "The screensaver has encountered an error and has found that one or\n"
    "more of the screensaver files appears to have been corrupted.\n\n"
    "It is strongly advised that you re-install the screensaver.";

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

std::atomic<bool> crashHandled{false};

}  // namespace

void WaitWhileCrashHandled() {
  while (crashHandled) Sleep(INFINITE);
}

namespace {

// This run's log, under the name the reporter sends; without a log this
// run has none, and an older crash's must not pass for it.
void KeepCrashLog() {
  const std::string kept = appDataDir + kCrashLogFileName;
  if (!CopyFileA((appDataDir + kLogFileName).c_str(), kept.c_str(), FALSE)) DeleteFileA(kept.c_str());
}

}  // namespace

void InstallCrashFilter() { SetUnhandledExceptionFilter(CrashFilter); }

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exception) {
  crashHandled = true;
  // Before the settings exist nothing is known yet: not whether to report,
  // nor where the program's files are. The process just ends quietly.
  if (ss != nullptr) {
    if (!CheckInstalledFiles(moduleDir, WindowsDirectory())) {
      MessageBoxA(nullptr, kCorruptedText, kProductName, MB_OK | MB_ICONERROR);
    } else if (ss->ShowBugReport != 0) {
      KeepCrashLog();
      // The reporter asks its first question while the dump is written; it
      // reads the dump only after two answers.
      ShellExecuteA(nullptr, "open", reporterPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      WriteMiniDump(exception);
    }
    ss->WriteCrashFlag(0);
    ss->WriteCriticalError(0);
  }
  ReleaseInstanceMutex();
  return EXCEPTION_EXECUTE_HANDLER;
}

bool WriteMiniDump(EXCEPTION_POINTERS* exception) {
  if (osVersion < Os_WinXP) return false;
  const std::string path = appDataDir + "zv_minidump.dmp";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  HMODULE library = LoadLibraryA("dbghelp.dll");
  auto write = library != nullptr
                   ? reinterpret_cast<MiniDumpWriteDumpFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "MiniDumpWriteDump")))
                   : nullptr;
  bool written = false;
  if (write != nullptr) {
    MINIDUMP_EXCEPTION_INFORMATION record = {};
    record.ThreadId = GetCurrentThreadId();
    record.ExceptionPointers = exception;
    record.ClientPointers = TRUE;
    written = write(GetCurrentProcess(), GetCurrentProcessId(), file, static_cast<MINIDUMP_TYPE>(dumpType),
                    &record, nullptr, nullptr) != FALSE;
  }
  if (library != nullptr) FreeLibrary(library);
  CloseHandle(file);
  return written;
}
