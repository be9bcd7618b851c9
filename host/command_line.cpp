#include "host/command_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Skips blanks and colons, then reads a decimal handle; digits stop at the
// first non-digit and a handle too large for a pointer reads as 0.
std::uintptr_t ReadHandle(const std::string& s, std::size_t& i) {
  while (i < s.size() && (IsBlank(s[i]) || s[i] == ':')) ++i;
  std::uintptr_t value = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    std::uintptr_t digit = static_cast<std::uintptr_t>(s[i] - '0');
    if (value > (UINTPTR_MAX - digit) / 10) return 0;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::string& s) {
  ParsedCommandLine result;
  std::size_t i = 0;

  // The program name: quoted up to and past its closing quote, else up to
  // and past the first blank.
  if (i < s.size() && s[i] == '"') {
    ++i;
    while (i < s.size() && s[i] != '"') ++i;
    if (i < s.size()) ++i;
  } else {
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i < s.size()) ++i;
  }
  while (i < s.size() && IsBlank(s[i])) ++i;

  if (i >= s.size()) {
    result.runMode = RunMode_Config;
    return result;
  }

  if (s[i] == '-' || s[i] == '/') ++i;
  result.readsDumpType = true;
  const char letter = i < s.size() ? Lower(s[i]) : '\0';
  if (i < s.size()) ++i;

  switch (letter) {
    case 'p':
    case 'l':
      result.runMode = RunMode_Preview;
      result.parentWindow = ReadHandle(s, i);
      break;
    case 's':
      result.runMode = RunMode_Saver;
      break;
    case 'c': {
      result.runMode = RunMode_Config;
      std::size_t j = i;
      while (j < s.size() && (IsBlank(s[j]) || s[j] == ':')) ++j;
      if (j >= s.size())
        result.useForegroundWindow = true;
      else
        result.parentWindow = ReadHandle(s, i);
      break;
    }
    case 'a':
      result.runMode = RunMode_ChangePassword;
      result.parentWindow = ReadHandle(s, i);
      break;
    case 'z':
      result.installRequested = true;
      break;
    default: {
      // The word may stand anywhere after the program name (the letter is its first).
      const std::string rest = s.substr(i > 0 ? i - 1 : 0);
      if (ContainsNoCase(rest, "uninstall") != std::string::npos) {
        result.maintenance = Maintenance_Uninstall;
        result.readsDumpType = false;
      } else if (ContainsNoCase(rest, "initialsecurity") != std::string::npos) {
        result.maintenance = Maintenance_InitialSecurity;
        result.readsDumpType = false;
      }
      break;
    }
  }
  return result;
}

bool FindArgumentValue(const std::vector<std::string>& args, const std::string& name,
                       std::string& value) {
  for (std::size_t k = 0; k + 1 < args.size(); ++k) {
    if (ContainsNoCase(args[k], name) != std::string::npos) {
      value = args[k + 1];
      return true;
    }
  }
  return false;
}

int ParseCommandLineInt(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || errno == ERANGE || value > INT_MAX || value < INT_MIN) return 0;
  return static_cast<int>(value);
}

int NormaliseDumpType(int value) { return value == -1 ? 0 : value; }
