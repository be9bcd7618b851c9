#include "foundation/shared_file.h"

#include <unistd.h>

// POSIX files have no share modes: every open is shared.
std::FILE* OpenSharedFile(const char* path, const char* mode) {
  return std::fopen(path, mode);
}

bool DeleteFileAt(const char* path) { return unlink(path) == 0; }
