#include "foundation/log_clock.h"

#include <cstdio>
#include <ctime>

namespace {

class LocalLogClock : public LogClock {
 public:
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    LocalTime result;
    // Only the main thread logs, so the shared buffer of localtime is safe.
    const std::tm* parts = std::localtime(&now);
    if (parts == nullptr) return result;
    result.year = parts->tm_year + 1900;
    result.month = parts->tm_mon + 1;
    result.day = parts->tm_mday;
    result.hour = parts->tm_hour;
    result.minute = parts->tm_min;
    result.second = parts->tm_sec;
    result.weekday = parts->tm_wday;
    return result;
  }
};

// Out-of-range fields print as "???" rather than reading past the tables.
const char* NameAt(const char* const* names, int count, int index) {
  return index >= 0 && index < count ? names[index] : "???";
}

}  // namespace

LogClock* DefaultLogClock() {
  static LocalLogClock clock;
  return &clock;
}

std::string FormatAscTime(const LocalTime& time) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof(text), "%s %s %2d %02d:%02d:%02d %d", NameAt(kDays, 7, time.weekday),
                NameAt(kMonths, 12, time.month - 1), time.day, time.hour, time.minute, time.second,
                time.year);
  return text;
}
