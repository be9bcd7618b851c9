// Test helper: makes another program crash the way a fault of its own would,
// by starting a thread in it at an address where there is no code. The
// program's unhandled-exception filter then runs as after any crash; the
// shipped program carries no trigger of its own.
// Arguments: the title of one of the program's windows.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  HWND window = FindWindowA(nullptr, __argv[1]);
  if (window == nullptr) return 1;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
  if (process == nullptr) return 1;
  auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10));
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, nowhere, nullptr, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
  CloseHandle(process);
  return thread != nullptr ? 0 : 1;
}
