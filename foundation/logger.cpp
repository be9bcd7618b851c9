#include "foundation/logger.h"

#include <cstdio>

#include "foundation/shared_file.h"

Logger* theLogger = nullptr;

namespace {

const int kHexRowBytes = 20;

const char* Marker(int type) {
  switch (type) {
    case kLogBegin: return "> ";
    case kLogEnd: return "< ";
    case kLogFunction: return "F ";
    case kLogDebug: return "D ";
    case kLogInfo: return "I ";
    case kLogWarning: return "W ";
    case kLogError: return "E ";
    case kLogCritical: return "! ";
    case kLogAll: return "A ";
    default: return "  ";
  }
}

// The banner text between the dashes: " Log begins on <time> ".
std::string Banner(const std::string& dashes, const char* what, const LocalTime& now) {
  return dashes + " Log " + what + " on " + FormatAscTime(now) + " " + dashes + "\n";
}

// The part of a source path after its last backslash.
std::string BaseName(const std::string& source) {
  const size_t slash = source.rfind('\\');
  return slash == std::string::npos ? source : source.substr(slash + 1);
}

}  // namespace

Logger::Logger(const std::string& logPath, LogClock* clock)
    : path(logPath), clock_(clock != nullptr ? clock : DefaultLogClock()) {
  BeginLog();
}

Logger::~Logger() { EndLog(); }

bool Logger::Passes(int type) const {
  return (static_cast<uint32_t>(type) & typeMask) != 0;
}

bool Logger::Append(const std::string& text) {
  std::FILE* file = OpenSharedFile(path.c_str(), "a");
  if (file == nullptr) return false;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
  std::fclose(file);
  return true;
}

void Logger::BeginLog() {
  if (isOpen) return;
  isOpen = true;
  DeleteFileAt(path.c_str());  // every run starts a new log
  Append(Banner(std::string(46, '-'), "begins", clock_->Now()));
}

void Logger::EndLog() {
  if (!isOpen) return;
  Append(Banner(std::string(47, '-'), "ends", clock_->Now()) + "\n\n\n\n");
  isOpen = false;
}

std::string Logger::Prefix(int type) {
  const LocalTime now = clock_->Now();
  char head[128];
  std::snprintf(head, sizeof(head), "%s%12s[%04d]%02d/%02d %02d:%02d:%02d ", Marker(type),
                BaseName(sourceFile).c_str(), static_cast<int>(sourceLine), now.month, now.day,
                now.hour, now.minute, now.second);
  std::string prefix = head;
  // Guide bars at columns 1, 1 + step, 1 + 2 step ... of the indentation.
  for (int column = 0; column < indent; ++column) {
    const bool bar = indentStep > 0 ? column >= 1 && (column - 1) % indentStep == 0 : column == 1;
    prefix += bar ? '|' : ' ';
  }
  return prefix;
}

void Logger::Write(const std::string& text, int type) {
  if (!Passes(type)) return;
  Append(Prefix(type) + text + "\n");
}

void Logger::WriteRaw(const std::string& text) { Append(text); }

void Logger::HexDump(const void* bytes, int length, int type) {
  if (bytes == nullptr || !Passes(type)) return;
  static const char kDigits[] = "0123456789ABCDEF";
  const unsigned char* data = static_cast<const unsigned char*>(bytes);
  std::string lines;
  for (int row = 0; row < length; row += kHexRowBytes) {
    std::string body;
    for (int i = 0; i < kHexRowBytes; ++i) body += "-- ";
    body += std::string(kHexRowBytes, '.');
    for (int i = 0; i < kHexRowBytes && row + i < length; ++i) {
      const unsigned char byte = data[row + i];
      body[3 * i] = kDigits[byte >> 4];
      body[3 * i + 1] = kDigits[byte & 0x0F];
      body[3 * kHexRowBytes + i] = byte < 0x20 || byte > 0x7F ? '.' : static_cast<char>(byte);
    }
    lines += Prefix(type) + body + "\n";
  }
  if (!lines.empty()) Append(lines);
}

void Logger::BeginBlock(const std::string& text, int type) {
  if (!Passes(type)) return;
  if (Append(Prefix(type) + " +- " + text + "\n")) indent += indentStep;
}

void Logger::EndBlock(const std::string& text, int type) {
  if (!Passes(type)) return;
  indent -= indentStep;
  if (indent < 0) indent = 0;
  Append(Prefix(type) + " +- " + text + "\n");
}

LogBlock::LogBlock(const std::string& name) : name_(name), begun_(theLogger != nullptr) {
  if (begun_) theLogger->BeginBlock("Begin block: " + name_, kLogBegin);
}

LogBlock::~LogBlock() {
  if (begun_ && theLogger != nullptr) theLogger->EndBlock("End block: " + name_, kLogEnd);
}

LogFunction::LogFunction(const std::string& name) : name_(name), begun_(theLogger != nullptr) {
  if (begun_) theLogger->BeginBlock("Enter function: " + name_, kLogFunction);
}

LogFunction::~LogFunction() {
  if (begun_ && theLogger != nullptr) theLogger->EndBlock("Exit function: " + name_, kLogFunction);
}
