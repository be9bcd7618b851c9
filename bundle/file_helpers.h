// The platform's file pieces that the integrity check, the start-up code and
// the savers of files need: a sequential reader, a whole-file replacement,
// existence of a path, the path separator and the Windows folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads one file from start to end. Closed when destroyed.
class SequentialFile {
 public:
  SequentialFile() = default;
  ~SequentialFile();
  SequentialFile(const SequentialFile&) = delete;
  SequentialFile& operator=(const SequentialFile&) = delete;

  // Opens for reading, others may read too; returns 0 or the system's error
  // code.
  uint32_t Open(const std::string& path);
  // Reads up to `size` bytes; `got` is 0 at the end of the file. False on a
  // read error.
  bool Read(void* buffer, size_t size, size_t& got);

 private:
  void* handle_ = nullptr;
};

// Writes `bytes` to a temporary file beside `path` that then takes its
// place, so a failed save (a full disk, a folder without write access)
// leaves an existing file as it was. False when anything failed; the
// temporary file is then removed.
bool ReplaceFileContents(const std::string& path, const void* bytes, size_t size);
// Moves file `from` onto `to`, replacing it.
bool MoveFileOver(const char* from, const char* to);

// True when the path's attributes can be read: a file or a folder.
bool FileExists(const std::string& path);

// '\\' on Windows, '/' elsewhere.
char PathSeparator();

// The system's Windows folder without a trailing separator; empty where
// there is none.
std::string WindowsDirectory();
