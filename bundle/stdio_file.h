// A C stdio file closed by its destructor, with 64-bit positions so that
// bundles and executables past 2 GiB seek correctly on every platform. The
// bundle reader and writer share it; nothing here keeps a file open longer
// than its owner's scope.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class StdioFile {
 public:
  StdioFile() = default;
  ~StdioFile() { Close(); }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  // fopen with the given mode ("rb", "wb", "ab"); closes any file held first.
  bool Open(const char* path, const char* mode);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Length in bytes found by seeking to the end; -1 on failure. Leaves the
  // position at the end.
  int64_t Length();
  bool Seek(int64_t offset);
  // True only when all `size` bytes arrived (or were written).
  bool ReadExact(void* buffer, size_t size);
  bool WriteAll(const void* buffer, size_t size);
  // Flushes and closes; false when buffered bytes could not be written.
  bool Finish();

 private:
  std::FILE* file_ = nullptr;
};
