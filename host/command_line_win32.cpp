#include "host/command_line_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "host/command_line.h"

namespace {

std::string Narrow(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size - 1));
  return out;
}

}  // namespace

bool GetCommandLineValue(const char* name, std::string& value) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return false;
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return FindArgumentValue(args, name, value);
}

int GetCommandLineInt(const char* name) {
  std::string value;
  if (!GetCommandLineValue(name, value)) return 0;
  return ParseCommandLineInt(value);
}
