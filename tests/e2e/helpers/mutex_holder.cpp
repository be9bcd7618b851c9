// Test helper: holds the saver's single-instance mutex, as a running saver
// does. Arguments: a readiness file, written once the mutex is held, then
//   hold N      keep it N seconds (a saver that must give up)
//   waiter N [K] keep it until K other programs (default 1) have had it
//               open for a while (savers waiting for it), at most N
//               seconds, then let go; the readiness file then gains a line
//               "released waiter=1" or "released waiter=0".
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct ObjectBasicInformation {
  ULONG attributes;
  ACCESS_MASK grantedAccess;
  ULONG handleCount;
  ULONG pointerCount;
  ULONG reserved[10];
};

typedef NTSTATUS(NTAPI* QueryObjectFunction)(HANDLE, int, PVOID, ULONG, PULONG);

// Open handles of the mutex, ours included; 0 when it cannot be told.
ULONG HandleCount(HANDLE mutex) {
  static const QueryObjectFunction query = reinterpret_cast<QueryObjectFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
  ObjectBasicInformation info = {};
  if (query == nullptr || query(mutex, 0, &info, sizeof info, nullptr) != 0) return 0;
  return info.handleCount;
}

void Note(const char* path, const char* mode, const char* text) {
  FILE* out = std::fopen(path, mode);
  if (out == nullptr) return;
  std::fputs(text, out);
  std::fclose(out);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 4) return 2;
  const char* ready = __argv[1];
  const bool forWaiter = std::strcmp(__argv[2], "waiter") == 0;
  const DWORD limitMs = static_cast<DWORD>(std::atoi(__argv[3])) * 1000;
  const ULONG waiters = __argc > 4 ? static_cast<ULONG>(std::atoi(__argv[4])) : 1;
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "ZelvoraPelkSaver");
  if (mutex == nullptr) return 1;
  Note(ready, "w", "held\n");

  const DWORD start = GetTickCount();
  bool waiter = false;
  if (forWaiter) {
    // A saver opens the mutex and then waits on it: a handle beside ours
    // that stays open (a saver's brief create-and-close is not yet a wait).
    DWORD seenSince = 0;
    while (GetTickCount() - start < limitMs) {
      if (HandleCount(mutex) >= 1 + waiters) {
        if (seenSince == 0) seenSince = GetTickCount();
        if (GetTickCount() - seenSince >= 500) {
          waiter = true;
          break;
        }
      } else {
        seenSince = 0;
      }
      Sleep(20);
    }
  } else {
    Sleep(limitMs);
  }
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  if (forWaiter) Note(ready, "a", waiter ? "released waiter=1\n" : "released waiter=0\n");
  return 0;
}
