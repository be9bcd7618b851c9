#include "foundation/mapped_file.h"

#include <windows.h>

#include <string>

#include "foundation/wide_text_win32.h"

std::unique_ptr<MappedFile> MappedFile::Open(const char* path) {
  const std::wstring wide = WidePath(path);
  if (wide.empty()) return nullptr;
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size = {};
  void* view = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) <= SIZE_MAX) {
    // Copy on write: patched pages stay ours.
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_WRITECOPY, 0, 0, nullptr);
    if (mapping != nullptr) {
      view = MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0, 0);
      CloseHandle(mapping);  // the view keeps it
    }
  }
  CloseHandle(file);
  if (view == nullptr) return nullptr;
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<uint8_t*>(view), static_cast<size_t>(size.QuadPart)));
}

MappedFile::~MappedFile() { UnmapViewOfFile(data_); }
