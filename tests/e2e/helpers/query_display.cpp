// Test helper: writes the current display mode as WIDTHxHEIGHTxBITS to the
// file named by its argument.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 1;
  FILE* out = std::fopen(__argv[1], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%lux%lux%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
  std::fclose(out);
  return 0;
}
