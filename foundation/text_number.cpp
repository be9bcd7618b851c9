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
