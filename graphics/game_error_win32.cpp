#include "graphics/game_error_win32.h"

#include <windows.h>

#include <cstdio>
#include <vector>

cGameError::cGameError(const std::string& text) : text_(text) {
  static const char kFormat[] = "***\n*** [ERROR] cGameError thrown! text: [%s]\n***\n";
  // Sized for the whole text: error texts can carry paths or driver names.
  std::vector<char> line(sizeof(kFormat) + text_.size());
  std::snprintf(line.data(), line.size(), kFormat, text_.c_str());
  OutputDebugStringA(line.data());
}
