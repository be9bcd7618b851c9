// Text between the program's own strings and the wide Windows calls. Names
// the user chose (songs, playlists) are held as UTF-8, so any letter
// survives; paths from the system's ANSI calls are in the ANSI code page.
// A path is taken as UTF-8 when it is valid UTF-8 and as ANSI otherwise: an
// ANSI path with letters beyond ASCII is almost never valid UTF-8.
#pragma once

#include <string>

std::wstring WidePath(const char* path);
std::string Utf8FromWide(const wchar_t* text, int length = -1);
