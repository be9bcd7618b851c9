#include "foundation/shared_file.h"

#include <share.h>
#include <windows.h>

std::FILE* OpenSharedFile(const char* path, const char* mode) {
  return _fsopen(path, mode, _SH_DENYNO);
}

bool DeleteFileAt(const char* path) { return DeleteFileA(path) != 0; }
