// Values of an application/x-www-form-urlencoded body or query, encoded so
// that any standard form decoder gives back the exact bytes: a base64 dump's
// "+" would otherwise arrive as a blank and a comment's "&" would end it.
#pragma once

#include <string>

// Letters, digits and "-_.~" stay; a blank becomes "+"; every other byte
// becomes "%" and two upper-case hex digits.
std::string FormEncode(const std::string& value);
