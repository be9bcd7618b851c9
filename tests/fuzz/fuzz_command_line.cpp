// The command line comes from whoever starts the program.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/command_line.h"
#include "host/user_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ParsedCommandLine parsed = ParseCommandLine(text);
  if (parsed.runMode < RunMode_None || parsed.runMode > RunMode_Saver) __builtin_trap();
  if (parsed.maintenance != Maintenance_None && parsed.readsDumpType) __builtin_trap();

  std::vector<std::string> args;
  std::string current;
  for (char c : text) {
    if (c == ' ') {
      args.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  args.push_back(current);
  std::string value;
  if (FindArgumentValue(args, "dumpType", value)) ParseCommandLineInt(value);
  IsProductDataFolder(text);
  FileNameSafeUserName(text);
  return 0;
}
