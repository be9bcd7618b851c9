#include "foundation/wide_text_win32.h"

#include <windows.h>

namespace {

std::wstring Widen(UINT codePage, DWORD flags, const char* text) {
  const int size = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(codePage, flags, text, -1, &wide[0], size);
  wide.resize(static_cast<size_t>(size - 1));  // the terminating zero
  return wide;
}

}  // namespace

std::wstring WidePath(const char* path) {
  if (path == nullptr || *path == '\0') return std::wstring();
  std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, path);
  return wide.empty() ? Widen(CP_ACP, 0, path) : wide;
}

std::string Utf8FromWide(const wchar_t* text, int length) {
  if (text == nullptr || length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], size, nullptr, nullptr);
  if (length < 0) narrow.resize(static_cast<size_t>(size - 1));  // the terminating zero
  return narrow;
}
