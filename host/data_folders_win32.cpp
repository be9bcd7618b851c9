#include "host/data_folders_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include "bundle/file_helpers.h"
#include "foundation/product.h"
#include "foundation/saver_settings.h"
#include "host/host_state.h"
#include "host/system_commands_win32.h"
#include "host/user_files.h"

namespace {

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// A junction or directory link is removed itself, never followed. (Wine
// shows a Unix symbolic link as one but cannot remove it; it then stays.)
void RemoveLink(const std::string& path) { RemoveDirectoryA(path.c_str()); }

// A null access list lets every user write the record of data folders
// (each user's first run adds its own).
void OpenToEveryone(HKEY key) {
  if (!RunningWindows2000OrLater()) return;
  SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                  nullptr, nullptr, nullptr, nullptr);
}

std::string WithSeparator(const std::string& folder) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder;
  return folder + "\\";
}

}  // namespace

std::string ApplicationDataFolder(void* owner) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(static_cast<HWND>(owner), CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, path)))
    return std::string();
  return path;
}

std::string EnsureDataFolder(void* owner) {
  const std::string appData = ApplicationDataFolder(owner);
  const std::string folder = appData + kDataFolderTail;
  if (!FileExists(folder)) {
    CreateDirectoryA((appData + "\\PelkSoft").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    RegisterDataFolder(folder, kProductKey, kDataFolderRecordSuffix);
  }
  return folder;
}

void RegisterDataFolder(const std::string& folder, const std::string& productKey,
                        const std::string& suffix) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (productKey + suffix).c_str(), 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  OpenToEveryone(key);
  std::string name;
  if (!LoginName(name)) name = folder;
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>(folder.size()));
  RegCloseKey(key);
  // The product key above it stays as the machine made it: values read for
  // every user (the web server) live there, and only the record below must
  // be open to all.
}

void DeleteFolderTree(const std::string& folder) {
  const std::string base = WithSeparator(folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = base + name;
    SetFileAttributesA(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY & ~FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction or directory link is removed itself; what it points to stays.
      if (IsLink(found.dwFileAttributes)) {
        RemoveLink(path);
        continue;
      }
      DeleteFolderTree(path);
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void RemoveDataFolders(const std::string& recordKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, recordKey.c_str(), 0,
                    KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  DWORD count = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    RegCloseKey(key);
    return;
  }
  for (DWORD index = 0; index < count; ++index) {
    char name[1024] = {};
    DWORD nameSize = sizeof(name);
    char data[1025] = {};  // one more than is read, so the text always ends
    DWORD dataSize = sizeof(data) - 1;
    DWORD type = 0;
    LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                reinterpret_cast<BYTE*>(data), &dataSize);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    const std::string folder = data;
    if (!IsProductDataFolder(folder)) continue;
    // A recorded folder that is itself a link would lead the deletion elsewhere.
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (IsLink(attributes)) {
      RemoveLink(folder);
      continue;
    }
    DeleteFolderTree(folder);
    RemoveDirectoryA(folder.c_str());
  }
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, recordKey.c_str());
}

void InitialSecurityCommand() {
  appDataDir = EnsureDataFolder(GetFocus());
}
