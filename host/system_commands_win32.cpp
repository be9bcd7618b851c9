#include "host/system_commands_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

namespace {

// GetVersionEx is deprecated in the headers but is what tells 9x from NT.
bool ReadVersion(OSVERSIONINFOA& info) {
  ZeroMemory(&info, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
}

}  // namespace

bool LoginName(std::string& name) {
  char buffer[257] = {};
  DWORD size = sizeof(buffer);
  if (!GetUserNameA(buffer, &size)) return false;
  name = buffer;
  return true;
}

OsVersion QueryOsVersion() {
  OSVERSIONINFOA info;
  if (!ReadVersion(info)) return Os_Unknown;
  return ClassifyOsVersion(static_cast<int>(info.dwPlatformId), info.dwMajorVersion, info.dwMinorVersion);
}

bool RunningWindows2000OrLater() {
  OSVERSIONINFOA info;
  return ReadVersion(info) && IsWindows2000OrLater(static_cast<int>(info.dwPlatformId), info.dwMajorVersion);
}

void RunProgram(const std::string& path) {
  std::vector<char> commandLine(path.size() + 8);
  std::snprintf(commandLine.data(), commandLine.size(), "\"%s\" /c", path.c_str());
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

void InstallSaver(const std::string& path) {
  const std::string parameters = "desk.cpl, InstallScreenSaver " + path;
  ShellExecuteA(nullptr, nullptr, "rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void ChangeSaverPassword(void* owner) {
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (mpr == nullptr) return;
  typedef DWORD(WINAPI * PwdChangePasswordFn)(LPCSTR, HWND, DWORD, LPVOID);
  PwdChangePasswordFn change =
      reinterpret_cast<PwdChangePasswordFn>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
  if (change != nullptr) change("SCRSAVE", static_cast<HWND>(owner), 0, nullptr);
  FreeLibrary(mpr);
}
