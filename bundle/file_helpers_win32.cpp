#include "bundle/file_helpers.h"

#include <windows.h>

SequentialFile::~SequentialFile() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

uint32_t SequentialFile::Open(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = file;
  return 0;
}

bool SequentialFile::Read(void* buffer, size_t size, size_t& got) {
  got = 0;
  DWORD read = 0;
  if (handle_ == nullptr ||
      !ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr))
    return false;
  got = read;
  return true;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

char PathSeparator() { return '\\'; }

std::string WindowsDirectory() {
  char folder[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return std::string();
  std::string text(folder, length);
  // Only a drive root ("C:\") comes with a separator of its own.
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

bool MoveFileOver(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
