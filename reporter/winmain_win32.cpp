// Entry point of Brevatch.exe, the error reporter the saver starts after a
// crash. It reads no arguments.
#include <windows.h>

#include "reporter/brevatch_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return BrevatchMain(instance); }
