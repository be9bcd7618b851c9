// Native stand-in for the Win32 threads, so code built on cThread runs in
// the unit tests: a thread created suspended waits for Resume, and Stop
// waits for the end of Run with a time limit, leaving a late thread
// detached and running, as on Windows.
#include "foundation/thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Shared by the owner and the worker; whichever lets go last frees it, so a
// worker outliving Stop never touches freed bookkeeping.
struct ThreadState {
  std::mutex mutex;
  std::condition_variable changed;
  bool resumed = false;
  bool finished = false;
  std::thread thread;
  std::atomic<int> holders{2};

  void Release() {
    if (--holders == 0) delete this;
  }
};

void ThreadProcedure(cThread* owner, ThreadState* state) {
  {
    std::unique_lock<std::mutex> hold(state->mutex);
    state->changed.wait(hold, [state] { return state->resumed; });
  }
  owner->Run();
  owner->running = false;
  {
    std::lock_guard<std::mutex> hold(state->mutex);
    state->finished = true;
  }
  state->changed.notify_all();
  state->Release();
}

std::atomic<uint32_t> nextThreadId{1};

}  // namespace

cThread::~cThread() { Stop(); }

int cThread::Run() { return 0; }

bool cThread::Start() {
  if (handle != nullptr) Stop();
  ThreadState* state = new ThreadState;
  state->resumed = (creationFlags & kCreateSuspended) == 0;
  running = true;
  try {
    state->thread = std::thread(ThreadProcedure, this, state);
  } catch (const std::system_error&) {
    delete state;
    running = false;
    return false;
  }
  handle = state;
  threadId = nextThreadId++;
  return true;
}

bool cThread::Stop() {
  if (handle == nullptr) return false;
  ThreadState* state = static_cast<ThreadState*>(handle);
  running = false;
  bool finished;
  {
    std::unique_lock<std::mutex> hold(state->mutex);
    const auto done = [state] { return state->finished; };
    if (stopTimeoutMs == kInfiniteTimeout) {
      state->changed.wait(hold, done);
      finished = true;
    } else {
      finished = state->changed.wait_for(hold, std::chrono::milliseconds(stopTimeoutMs), done);
    }
  }
  if (finished) {
    state->thread.join();
  } else {
    state->thread.detach();
    abandoned = true;
  }
  handle = nullptr;
  state->Release();
  return true;
}

void cThread::Resume() {
  if (handle == nullptr) return;
  ThreadState* state = static_cast<ThreadState*>(handle);
  {
    std::lock_guard<std::mutex> hold(state->mutex);
    state->resumed = true;
  }
  state->changed.notify_all();
}

void cThread::SetPriority(int) {}

cMonitor::cMonitor() : mutex(new std::recursive_mutex) {}

cMonitor::~cMonitor() { delete static_cast<std::recursive_mutex*>(mutex); }

void cMonitor::Enter() {
  static_cast<std::recursive_mutex*>(mutex)->lock();
  locked = true;
}

void cMonitor::Leave() {
  // Cleared while still held, so it never reads false under another holder.
  locked = false;
  static_cast<std::recursive_mutex*>(mutex)->unlock();
}
