// Where the logger reads its local time from. The default reads the C
// library's local time; tests hand the logger a fixed clock so that whole
// log files can be compared.
#pragma once

#include <string>

struct LocalTime {
  int year = 0;
  int month = 1;    // 1 to 12
  int day = 1;      // day of the month, 1 to 31
  int hour = 0;     // 0 to 23
  int minute = 0;
  int second = 0;
  int weekday = 0;  // 0 = Sunday
};

class LogClock {
 public:
  virtual ~LogClock() = default;
  virtual LocalTime Now() = 0;
};

// The process's clock over localtime; never null.
LogClock* DefaultLogClock();

// The C library's asctime text without its line end,
// e.g. "Mon Dec  7 10:57:45 2026".
std::string FormatAscTime(const LocalTime& time);
