// Worker-thread base class and the program's one lock type.
//
// Workers are started the same way everywhere: Start (the thread is created
// suspended), SetPriority, Resume. Run is the thread body; it clears
// `running` as its last act so the owner can poll IsRunning.
//
// Stop never kills a thread. If the worker does not end within
// stopTimeoutMs, Stop closes the handle and returns while the worker runs
// on; the object must then outlive the worker, since Run still uses it.
// The network threads only meet this at shutdown. For the same reason a
// derived class whose Run uses its own members stops the thread in its own
// destructor: by the time ~cThread runs, the derived part is gone.
// A thread left suspended must be resumed before an unbounded Stop.
#pragma once

#include <atomic>
#include <cstdint>

const uint32_t kInfiniteTimeout = 0xFFFFFFFFu;  // INFINITE
const uint32_t kCreateSuspended = 4;            // CREATE_SUSPENDED
// The two priorities the program uses (THREAD_PRIORITY_*).
const int kThreadPriorityBelowNormal = -1;
const int kThreadPriorityNormal = 0;

class cThread {
 public:
  cThread() = default;
  virtual ~cThread();
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;

  // The thread body; its result is the thread's exit code.
  virtual int Run();

  // Stops a thread still held, then creates a new one with creationFlags.
  // False when the system refused to create it.
  bool Start();
  // Asks the thread to end and waits at most stopTimeoutMs; false when
  // there was no thread.
  bool Stop();
  bool IsRunning() const { return running; }
  // Lets a thread created suspended run.
  void Resume();
  // Windows thread priority; natively the request is ignored.
  void SetPriority(int priority);

  void* handle = nullptr;
  uint32_t threadId = 0;
  uint32_t stopTimeoutMs = kInfiniteTimeout;
  // Written by the owner and the worker; one sets, the other polls.
  std::atomic<bool> running{false};
  // Set when Stop gave up waiting: the worker may still use this object,
  // which must then never be destroyed.
  std::atomic<bool> abandoned{false};
  uint32_t creationFlags = kCreateSuspended;
};

// A recursive mutex: the owning thread may enter again.
class cMonitor {
 public:
  cMonitor();
  virtual ~cMonitor();
  cMonitor(const cMonitor&) = delete;
  cMonitor& operator=(const cMonitor&) = delete;

  // Waits without time limit.
  void Enter();
  void Leave();

  void* mutex = nullptr;
  // Informational: true while some thread is inside.
  std::atomic<bool> locked{false};
};

// Holds a monitor for one scope.
class cMonitorLock {
 public:
  explicit cMonitorLock(cMonitor& monitor) : monitor_(monitor) { monitor_.Enter(); }
  ~cMonitorLock() { monitor_.Leave(); }
  cMonitorLock(const cMonitorLock&) = delete;
  cMonitorLock& operator=(const cMonitorLock&) = delete;

 private:
  cMonitor& monitor_;
};
