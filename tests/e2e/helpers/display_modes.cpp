// Test helper: writes every display mode the default display offers as
// WIDTHxHEIGHTxBITS lines to the file named by its argument.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  FILE* out = std::fopen(__argv[1], "w");
  if (out == nullptr) return 1;
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
    std::fprintf(out, "%lux%lux%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
  std::fclose(out);
  return 0;
}
