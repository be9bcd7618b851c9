// Test helper: holds the saver's single-instance mutex, as a running saver
// does, for the number of seconds given on its command line.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const int seconds = std::atoi(commandLine);
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "ZelvoraPelkSaver");
  Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 30) * 1000);
  if (mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  return 0;
}
