// A whole file mapped into memory, read as it is touched rather than all at
// once: opening a large song costs no more than a small one. The view is
// private (copy on write), so a reader may patch bytes without changing the
// file. Windows will not let a mapped file be cut short meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class MappedFile {
 public:
  // Null when the file cannot be opened or mapped, or is empty. On Windows
  // the path may be UTF-8 or in the ANSI code page.
  static std::unique_ptr<MappedFile> Open(const char* path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  MappedFile(uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t* data_;
  size_t size_;
};
