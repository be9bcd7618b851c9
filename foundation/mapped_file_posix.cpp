#include "foundation/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<MappedFile> MappedFile::Open(const char* path) {
  if (path == nullptr) return nullptr;
  const int file = open(path, O_RDONLY);
  if (file < 0) return nullptr;
  struct stat status {};
  void* view = MAP_FAILED;
  if (fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
    view = mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ | PROT_WRITE, MAP_PRIVATE, file, 0);
  close(file);  // the mapping keeps the file
  if (view == MAP_FAILED) return nullptr;
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<uint8_t*>(view), static_cast<size_t>(status.st_size)));
}

MappedFile::~MappedFile() { munmap(data_, size_); }
