// Case-insensitive text search and comparison, shared by the command line,
// the playlist readers, the music player's engine choice, the settings'
// names and the web replies' tag names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The first position of `pattern` in `text`, comparing lower-cased
// characters; npos when it is not there.
std::size_t ContainsNoCase(const std::string& text, const std::string& pattern);

// True when both texts are the same once lower-cased.
bool EqualNoCase(std::string_view a, std::string_view b);
