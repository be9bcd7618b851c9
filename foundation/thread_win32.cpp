#include "foundation/thread.h"

#include <windows.h>

namespace {

DWORD WINAPI ThreadProcedure(LPVOID parameter) {
  cThread* thread = static_cast<cThread*>(parameter);
  const int result = thread->Run();
  thread->running = false;
  return static_cast<DWORD>(result);
}

}  // namespace

cThread::~cThread() { Stop(); }

int cThread::Run() { return 0; }

bool cThread::Start() {
  if (handle != nullptr) Stop();
  DWORD id = 0;
  running = true;
  handle = CreateThread(nullptr, 0, ThreadProcedure, this, creationFlags, &id);
  threadId = id;
  if (handle == nullptr) running = false;
  return handle != nullptr;
}

bool cThread::Stop() {
  if (handle == nullptr) return false;
  running = false;
  if (WaitForSingleObject(handle, stopTimeoutMs) == WAIT_TIMEOUT) abandoned = true;
  const BOOL closed = CloseHandle(handle);
  handle = nullptr;
  return closed != 0;
}

void cThread::Resume() {
  if (handle != nullptr) ResumeThread(handle);
}

void cThread::SetPriority(int priority) {
  if (handle != nullptr) SetThreadPriority(handle, priority);
}

cMonitor::cMonitor() : mutex(CreateMutexA(nullptr, FALSE, nullptr)) {}

cMonitor::~cMonitor() {
  if (mutex != nullptr) CloseHandle(mutex);
}

void cMonitor::Enter() {
  WaitForSingleObject(mutex, INFINITE);
  locked = true;
}

void cMonitor::Leave() {
  // Cleared while still held, so it never reads false under another holder.
  locked = false;
  ReleaseMutex(mutex);
}
