// The diagnostic log, "OrbexLog.txt". It exists for support: after a crash
// the error reporter sends it to us with the dump. Each entry opens the
// file, appends, flushes and closes, so the file is complete up to the last
// entry even if the process dies right after. Logging is off unless the
// DebugLog setting is on; then `theLogger` is null and every site skips.
//
// An entry line:  marker, source "%12s[%04d]", local time, indentation, text
//   "I       Minimal[9295]12/07 10:57:45 OS is Windows XP"
// Only the main thread logs; there is no lock.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "foundation/log_clock.h"

// Entry types; an entry is written when its type shares a bit with typeMask.
const int kLogBegin = 1;      // "> " begin of a block
const int kLogEnd = 2;        // "< " end of a block
const int kLogFunction = 4;   // "F " function entry and exit
const int kLogDebug = 16;     // "D "
const int kLogInfo = 18;      // "I " almost every entry
const int kLogWarning = 20;   // "W "
const int kLogError = 24;     // "E " caught exceptions, dialog start failures
const int kLogCritical = 32;  // "! " errors
const int kLogAll = -1;       // "A "

class Logger {
 public:
  // Starts a new log at `path` (an older file there is deleted). A null
  // clock means the local time of the C library.
  explicit Logger(const std::string& path, LogClock* clock = nullptr);
  // Writes the end banner.
  virtual ~Logger();
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  virtual void BeginLog();
  virtual void EndLog();
  virtual void Write(const std::string& text, int type);
  // The text exactly as given: no prefix, no line end, no type test.
  virtual void WriteRaw(const std::string& text);
  // One line per 20 bytes: hex digits, then the printable bytes.
  virtual void HexDump(const void* bytes, int length, int type);
  // A " +- " line, then the following lines one step deeper.
  virtual void BeginBlock(const std::string& text, int type);
  virtual void EndBlock(const std::string& text, int type);
  // Marker, source, time and indentation of an entry of this type.
  virtual std::string Prefix(int type);

  std::string path;
  // Shown by the next entries; each logging site sets both first.
  std::string sourceFile;
  int32_t sourceLine = 0;
  int32_t indent = 0;  // columns, never below 0
  int32_t indentStep = 4;
  uint32_t typeMask = 0xFFFFFFFFu;
  bool isOpen = false;  // between the begin and the end banner

 private:
  bool Passes(int type) const;
  // Appends `text` in text mode; false when the file could not be opened.
  bool Append(const std::string& text);

  LogClock* clock_;
};

// The one logger of the program; null when logging is off.
extern Logger* theLogger;

// "Begin block: name" on construction, "End block: name" on destruction.
// Does nothing when logging is off.
class LogBlock {
 public:
  explicit LogBlock(const std::string& name);
  ~LogBlock();
  LogBlock(const LogBlock&) = delete;
  LogBlock& operator=(const LogBlock&) = delete;

 private:
  std::string name_;
  bool begun_;
};

// "Enter function: name" on construction, "Exit function: name" when the
// traced function returns. Does nothing when logging is off.
class LogFunction {
 public:
  explicit LogFunction(const std::string& name);
  ~LogFunction();
  LogFunction(const LogFunction&) = delete;
  LogFunction& operator=(const LogFunction&) = delete;

 private:
  std::string name_;
  bool begun_;
};

// Every site in the program reports the one source name of the main module.
#define ZV_LOG_SOURCE ".\\Minimal"

// Marks the next entries as coming from this site.
inline void ZvSetLogSite(int line) {
  if (theLogger == nullptr) return;
  theLogger->sourceLine = line;
  theLogger->sourceFile = ZV_LOG_SOURCE;
}

// One-line logging sites: ZV_LOG_INFO("OS is " << name);
// The stream expression is only evaluated when logging is on.
#define ZV_LOG(type, expr)                          \
  do {                                              \
    if (theLogger != nullptr) {                     \
      ZvSetLogSite(__LINE__);                       \
      std::ostringstream zvLogText;                 \
      zvLogText << expr;                            \
      theLogger->Write(zvLogText.str(), (type));    \
    }                                               \
  } while (0)
#define ZV_LOG_INFO(expr) ZV_LOG(kLogInfo, expr)
#define ZV_LOG_ERROR(expr) ZV_LOG(kLogCritical, expr)

#define ZV_LOG_CONCAT_INNER(a, b) a##b
#define ZV_LOG_CONCAT(a, b) ZV_LOG_CONCAT_INNER(a, b)
// Traces to the end of the enclosing scope: ZV_LOG_FUNCTION("initD3D()");
#define ZV_LOG_FUNCTION(name) \
  ZvSetLogSite(__LINE__);     \
  LogFunction ZV_LOG_CONCAT(zvLogFunction, __LINE__)(name)
#define ZV_LOG_BLOCK(name) \
  ZvSetLogSite(__LINE__);  \
  LogBlock ZV_LOG_CONCAT(zvLogBlock, __LINE__)(name)
