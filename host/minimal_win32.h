// The program's start-up and dispatch: command line, paths, single instance,
// settings, the verdict on the previous run, the log, and the run mode.
#pragma once

#include <windows.h>

// Runs the whole program; always returns 0.
int MinimalMain(HINSTANCE instance, int showCommand);
