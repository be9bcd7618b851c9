// Case-insensitive text search, shared by the command line, the playlist
// readers and the music player's engine choice.
#pragma once

#include <cstddef>
#include <string>

// The first position of `pattern` in `text`, comparing lower-cased
// characters; npos when it is not there.
std::size_t ContainsNoCase(const std::string& text, const std::string& pattern);
