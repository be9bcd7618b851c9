// The commands of the bundle tool zvbundle (pack, list, extract, append).
// main() only forwards here, so tests drive the very code the tool runs.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit codes of the tool.
enum ZvbundleExit { kZvOk = 0, kZvFailed = 1, kZvUsage = 2 };

// `args` without the program name. Results go to `out`, messages to `err`.
int RunZvbundle(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
