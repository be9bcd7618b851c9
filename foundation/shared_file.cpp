#include "foundation/shared_file.h"

bool ReadWholeFile(const char* path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = OpenSharedFile(path, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  // A folder opens for reading on some systems and then fails here.
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) bytes.clear();
  return !failed;
}
