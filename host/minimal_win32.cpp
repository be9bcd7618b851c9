#include "host/minimal_win32.h"

#include <cstdlib>
#include <sstream>

#include "bundle/file_helpers.h"
#include "bundle/integrity_check.h"
#include "foundation/logger.h"
#include "foundation/product.h"
#include "foundation/registry_store_win32.h"
#include "foundation/saver_settings.h"
#include "foundation/web_server.h"
#include "host/command_line.h"
#include "host/command_line_win32.h"
#include "host/crash_filter_win32.h"
#include "host/data_folders_win32.h"
#include "host/host_state.h"
#include "host/instance_mutex_win32.h"
#include "host/saver_run_win32.h"
#include "host/system_commands_win32.h"
#include "host/user_files.h"
#include "ui/settings_dialog_win32.h"
#include "ui/song_pickers_win32.h"

namespace {

const char kInitErrorText[] =
    "The screen saver recently encountered an error while initializing.\n"
    "The problem might be easily solved by selecting \"Run in fast mode\"\n"
    "on the settings screen.  It is recommended that you try this mode\n"
    "if you continue to have problems.\n\nWe're sorry for the inconvenience.";
const char kInitErrorCaption[] = "Error initializing";
const char kCorruptedText[] =
    "One or more of the screensaver files appears to have been corrupted.\n\n"
    "It is strongly advised that you re-install the screensaver.";
const char kCorruptedCaption[] = "Encountered corrupted file(s)";

// After installing, the settings open this much later, once the control
// panel's Screen Saver tab that the install opened has come up.
const DWORD kSettingsAfterInstallMs = 1200;

RegistryStore registryStore;
// What the saver run reported; the frame rate before any run.
float averageFps = 100.0f;

void BuildModulePaths() {
  char path[1024] = {};
  GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
  modulePath = path;
  char drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
  _splitpath(path, drive, dir, name, ext);
  moduleDir = std::string(drive) + dir;
  helpFilePath = moduleDir + "Orbex.CHM";
  bundlePath = moduleDir + "images.bdl";
  if (ContainsNoCase(ext, "exe") != std::string::npos) runMode = RunMode_Config;
}

void BuildUserPaths() {
  std::string user;
  const bool known = LoginName(user);
  playlistPath = appDataDir + PlaylistFileName(user, known);
  wallpaperPath = appDataDir + WallpaperFileName(user, known);
}

void EndEarly() {
  delete ss;
  ss = nullptr;
  ReleaseInstanceMutex();
}

// The previous run's verdict. False: the files are damaged and this run ends.
bool CheckPreviousRun() {
  const int critical = ss->CriticalError;
  if (critical != 1 && critical != 2) return true;
  if (!CheckInstalledFiles(moduleDir, WindowsDirectory())) {
    MessageBoxA(nullptr, kCorruptedText, kCorruptedCaption, MB_OK | MB_ICONERROR);
    ss->WriteCrashFlag(0);
    ss->WriteDoChecksum(0);
    ss->WriteCriticalError(0);
    return false;
  }
  if (critical == 1) MessageBoxA(nullptr, kInitErrorText, kInitErrorCaption, MB_OK);
  return true;
}

void OpenSettings() {
  // The music dialog's open-file descriptions: wide, opening in the music
  // folder, from Windows 2000 on.
  const bool windows2000 = osVersion >= Os_Win2000;
  SongPickers pickers;
  PrepareSongPickers(pickers, windows2000);
  SettingsDialogContext context;
  context.settings = ss;
  context.helpFile = helpFilePath;
  context.webServer = ReadWebServer(registryStore);
  context.playlistFile = playlistPath;
  context.songPickers = &pickers;
  context.clearType = windows2000;
  RunSettingsDialog(GetModuleHandleA(nullptr), static_cast<HWND>(parentWindow), context);
}

void Dispatch(int showCommand) {
  switch (runMode) {
    case RunMode_ChangePassword:
      ChangeSaverPassword(parentWindow);
      break;
    case RunMode_Config:
      ZV_LOG_INFO("In config mode...Initializing dialog structures.");
      ZV_LOG_INFO("Opening dialog box");
      OpenSettings();
      break;
    case RunMode_Preview:
      ZV_LOG_INFO("Running in Preview mode.");
      averageFps = DoSaver(static_cast<HWND>(parentWindow), showCommand);
      break;
    case RunMode_Saver: {
      ZV_LOG_INFO("Running in normal Screensaver mode.");
      averageFps = DoSaver(static_cast<HWND>(parentWindow), showCommand);
      ss->WriteAvgFps(averageFps);
      break;
    }
    case RunMode_None:
      break;
  }
}

// Uninstall and the installer's first-run set-up do their work and end.
bool RunMaintenance(MaintenanceCommand maintenance) {
  switch (maintenance) {
    case Maintenance_Uninstall:
      RemoveDataFolders(std::string(kProductKey) + kDataFolderRecordSuffix);
      return true;
    case Maintenance_InitialSecurity:
      InitialSecurityCommand();
      return true;
    case Maintenance_None:
      break;
  }
  return false;
}

void TakeCommandLine(const std::string& commandLine, const ParsedCommandLine& parsed) {
  runMode = parsed.runMode;
  installRequested = parsed.installRequested;
  parentWindow = parsed.useForegroundWindow ? static_cast<void*>(GetForegroundWindow())
                                            : reinterpret_cast<void*>(parsed.parentWindow);
  if (parsed.readsDumpType && ContainsNoCase(commandLine, "/dumpType") != std::string::npos)
    dumpType = NormaliseDumpType(GetCommandLineInt("dumpType"));
}

void BuildPaths() {
  BuildModulePaths();
  reporterPath = moduleDir + "Brevatch.exe";
  appDataDir = EnsureDataFolder(nullptr);
  BuildUserPaths();
}

// Settings and previews may run beside anything; a saver run only alone.
bool AcquireSingleInstance() {
  if (runMode == RunMode_Config || runMode == RunMode_Preview) {
    AcquireInstanceMutexShared();
    return true;
  }
  return AcquireInstanceMutexExclusive();
}

void LoadSettings() {
  ss = new SaverSettings(registryStore);
  ss->ReadSystemValues();
  ss->Load();
}

// The next start judges this run by these flags: a saver run that does not
// clear them has crashed.
void MarkRunStarted() {
  ss->WriteCrashFlag(0);
  ss->WriteDoChecksum(0);
  ss->WriteCriticalError(0);
  if (runMode != RunMode_Preview && runMode != RunMode_Config) {
    ss->WriteCrashFlag(1);
    ss->WriteDoChecksum(1);
  }
}

void OpenLog() {
  if (!ss->DebugLog) return;
  theLogger = new Logger(appDataDir + kLogFileName);
  ZV_LOG_INFO(kProductName << " started.");
  ZV_LOG_INFO("Version: " << kVersionNumber);
}

void Install() {
  InstallSaver(modulePath);
  Sleep(kSettingsAfterInstallMs);
  RunProgram(modulePath);
}

void LogSystem() {
  osVersion = QueryOsVersion();
  ZV_LOG_INFO("OS is " << OsVersionName(osVersion));
  ZV_LOG_INFO("Path: " << modulePath);
  ZV_LOG_INFO("AppData Path: " << appDataDir);
}

void ReportCriticalError() {
  if (!ss->CriticalError) return;
  MessageBoxA(GetFocus(), kInitErrorText, kInitErrorCaption, MB_OK | MB_SETFOREGROUND);
  ZV_LOG_INFO("Showing critical error dialog");
  ss->WriteCriticalError(0);
}

void MarkRunEnded() {
  ss->WriteCrashFlag(0);
  ss->WriteDoChecksum(0);
  delete ss;
  ss = nullptr;
}

void CloseLog() {
  if (theLogger == nullptr) return;
  if (runMode == RunMode_Saver) {
    ZV_LOG_INFO("Average FPS: " << averageFps);
    ZV_LOG_INFO("Exiting screensaver.");
  } else {
    ZV_LOG_INFO("Exiting configuration");
  }
  ZV_LOG_INFO("Successfully exiting WinMain()");
  delete theLogger;
  theLogger = nullptr;
}

}  // namespace

int MinimalMain(HINSTANCE instance, int showCommand) {
  (void)instance;
  InstallCrashFilter();
  const std::string commandLine = GetCommandLineA();
  const ParsedCommandLine parsed = ParseCommandLine(commandLine);
  if (RunMaintenance(parsed.maintenance)) return 0;
  TakeCommandLine(commandLine, parsed);
  BuildPaths();
  if (!AcquireSingleInstance()) return 0;
  LoadSettings();
  if (!CheckPreviousRun()) {
    EndEarly();
    return 0;
  }
  MarkRunStarted();
  OpenLog();
  if (installRequested) {
    Install();
    EndEarly();
    return 0;
  }
  LogSystem();
  Dispatch(showCommand);
  WaitWhileCrashHandled();
  ReportCriticalError();
  MarkRunEnded();
  CloseLog();
  ReleaseInstanceMutex();
  return 0;
}
