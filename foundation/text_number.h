// Numbers written as text, read by the C library's rules (leading blanks, a
// sign, digits up to the first other character; text that is no number gives
// 0) but clamped to the type's range instead of overflowing it. Used for
// settings stored as text and for numbers in the web replies.
#pragma once

#include <cstdint>
#include <string>

int TextToInt(const std::string& text);

float TextToFloat(const std::string& text);

// Strict: true only for optional blanks, an optional sign, decimal digits
// and optional blanks up to the terminating NUL, within int32's range.
bool ParseWholeDecimal(const char* text, int32_t& value);
