#include "host/instance_mutex_win32.h"

#include <windows.h>

namespace {

const char kMutexName[] = "ZelvoraPelkSaver";
const DWORD kWaitMs = 15000;
HANDLE instanceMutex = nullptr;

bool Acquired(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

void AcquireInstanceMutexShared() {
  instanceMutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
  if (instanceMutex != nullptr) WaitForSingleObject(instanceMutex, kWaitMs);
}

bool AcquireInstanceMutexExclusive() {
  instanceMutex = CreateMutexA(nullptr, TRUE, kMutexName);
  if (instanceMutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) return true;

  CloseHandle(instanceMutex);
  instanceMutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
  if (instanceMutex == nullptr) return true;
  if (!Acquired(WaitForSingleObject(instanceMutex, kWaitMs))) {
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    return false;
  }
  // The other saver has gone and the wait made the mutex ours: keep it.
  // Releasing it here, even to create it again, would hand it to the next
  // saver waiting, and both would run.
  return true;
}

void ReleaseInstanceMutex() {
  if (instanceMutex == nullptr) return;
  ReleaseMutex(instanceMutex);
  CloseHandle(instanceMutex);
  instanceMutex = nullptr;
}
