#include "bundle/stdio_file.h"

namespace {

int SeekTo(std::FILE* file, int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(file, offset, whence);
#else
  return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

int64_t Position(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return static_cast<int64_t>(ftello(file));
#endif
}

}  // namespace

bool StdioFile::Open(const char* path, const char* mode) {
  Close();
  if (path == nullptr) return false;
  file_ = std::fopen(path, mode);
  return file_ != nullptr;
}

void StdioFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

int64_t StdioFile::Length() {
  if (file_ == nullptr || SeekTo(file_, 0, SEEK_END) != 0) return -1;
  return Position(file_);
}

bool StdioFile::Seek(int64_t offset) {
  if (file_ == nullptr || offset < 0 || SeekTo(file_, offset, SEEK_SET) != 0) return false;
  return Position(file_) == offset;
}

bool StdioFile::ReadExact(void* buffer, size_t size) {
  if (file_ == nullptr) return false;
  return size == 0 || std::fread(buffer, 1, size, file_) == size;
}

bool StdioFile::WriteAll(const void* buffer, size_t size) {
  if (file_ == nullptr) return false;
  return size == 0 || std::fwrite(buffer, 1, size, file_) == size;
}

bool StdioFile::Finish() {
  if (file_ == nullptr) return false;
  const bool flushed = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}
