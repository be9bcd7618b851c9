#include "foundation/shared_file.h"

#include <share.h>
#include <windows.h>

#include "foundation/wide_text_win32.h"

// By the wide name, so a song or playlist named in any script opens.
std::FILE* OpenSharedFile(const char* path, const char* mode) {
  const std::wstring widePath = WidePath(path);
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  if (widePath.empty()) return nullptr;
  return _wfsopen(widePath.c_str(), wideMode.c_str(), _SH_DENYNO);
}

bool DeleteFileAt(const char* path) { return DeleteFileW(WidePath(path).c_str()) != 0; }
