// The error reporter's program flow: the question after a crash, the
// user's comment, then the report with the server's answer. A hidden main
// window owns the dialogs; its end ends the program.
#pragma once

#include <windows.h>

// The quit code of the message loop (0).
int BrevatchMain(HINSTANCE instance);
