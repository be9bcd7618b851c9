#include "foundation/text_number.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

int TextToInt(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float TextToFloat(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) return std::copysign(FLT_MAX, value);
  return static_cast<float>(value);
}

bool ParseWholeDecimal(const char* text, int32_t& value) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (blank(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (*text < '0' || *text > '9') return false;
  int64_t number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    number = number * 10 + (*text - '0');
    if (number > int64_t{INT32_MAX} + 1) return false;
  }
  while (blank(*text)) ++text;
  if (*text != '\0') return false;
  if (negative) number = -number;
  if (number > INT32_MAX || number < INT32_MIN) return false;
  value = static_cast<int32_t>(number);
  return true;
}
