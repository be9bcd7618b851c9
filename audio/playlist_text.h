// Playlist files are text with CR LF line ends. The Windows C run-time's
// text mode turns CR LF into LF when reading and LF into CR LF when writing;
// doing that here, over binary files, gives the parsers the same text and
// the saved files the same bytes on every platform.
#pragma once

#include <string>

// Drops every CR that stands right before an LF; a lone CR stays.
void DropCarriageReturns(std::string& text);

// Every LF becomes CR LF.
std::string WithCarriageReturns(const std::string& text);

// The whole file, CR LF read as LF. False when it cannot be opened or read.
bool ReadTextFile(const char* path, std::string& text);

// Creates (or truncates) the file and writes `text` with CR LF line ends.
// False when the file cannot be created or not every byte reached it.
bool WriteTextFile(const char* path, const std::string& text);
