// Entry point of ZelvoraPelk.scr.
#include <windows.h>

#include "host/minimal_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return MinimalMain(instance, showCommand);
}
