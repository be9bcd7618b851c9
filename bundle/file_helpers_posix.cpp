#include "bundle/file_helpers.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

SequentialFile::~SequentialFile() {
  if (handle_ != nullptr) std::fclose(static_cast<std::FILE*>(handle_));
}

uint32_t SequentialFile::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno != 0 ? static_cast<uint32_t>(errno) : ENOENT;
  // A folder opens here but not on Windows; refuse it the same way.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return EISDIR;
  }
  if (handle_ != nullptr) std::fclose(static_cast<std::FILE*>(handle_));
  handle_ = file;
  return 0;
}

bool SequentialFile::Read(void* buffer, size_t size, size_t& got) {
  got = 0;
  if (handle_ == nullptr) return false;
  std::FILE* file = static_cast<std::FILE*>(handle_);
  got = std::fread(buffer, 1, size, file);
  return got > 0 || !std::ferror(file);
}

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

char PathSeparator() { return '/'; }

std::string WindowsDirectory() { return std::string(); }

bool MoveFileOver(const char* from, const char* to) { return std::rename(from, to) == 0; }
