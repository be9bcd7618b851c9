// For the test helpers: wide text written to a file as UTF-8, so a name in
// any script reaches the Python side whole (msvcrt's "%ls" stops at the
// first letter outside the C locale).
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

inline void WriteUtf8(FILE* out, const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
  std::fputs(bytes.c_str(), out);
}
