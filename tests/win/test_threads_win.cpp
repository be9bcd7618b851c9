#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "foundation/thread.h"
#include "tests/support/thread_fakes.h"

namespace {

TEST(ThreadWin, StopOnANeverStartedThreadReturnsFalse) {
  OneShot thread(7);
  EXPECT_FALSE(thread.Stop());
  EXPECT_EQ(thread.handle, nullptr);
}

TEST(ThreadWin, StartSuspendedSetPriorityResume) {
  OneShot thread(7);
  ASSERT_TRUE(thread.Start());
  ASSERT_NE(thread.handle, nullptr);
  EXPECT_EQ(thread.threadId, GetThreadId(static_cast<HANDLE>(thread.handle)));
  thread.SetPriority(kThreadPriorityBelowNormal);
  EXPECT_EQ(GetThreadPriority(static_cast<HANDLE>(thread.handle)), THREAD_PRIORITY_BELOW_NORMAL);
  Sleep(30);
  EXPECT_FALSE(thread.ran);  // still suspended
  thread.Resume();
  ASSERT_TRUE(WaitFor(thread.running, false));
  ASSERT_EQ(WaitForSingleObject(static_cast<HANDLE>(thread.handle), 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(static_cast<HANDLE>(thread.handle), &code);
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(thread.Stop());
  EXPECT_EQ(thread.handle, nullptr);
}

TEST(ThreadWin, StopGivesUpAfterTheTimeoutWithTheHandleClosed) {
  static Stubborn thread;  // the worker runs on it after Stop returns
  thread.stopTimeoutMs = 300;
  ASSERT_TRUE(thread.Start());
  HANDLE duplicate = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(thread.handle),
                              GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS));
  thread.Resume();
  const DWORD begin = GetTickCount();
  EXPECT_TRUE(thread.Stop());
  const DWORD waited = GetTickCount() - begin;
  EXPECT_GE(waited, 250u);
  EXPECT_LT(waited, 5000u);
  EXPECT_EQ(thread.handle, nullptr);
  // Not terminated: the worker is still alive and ends when let go.
  EXPECT_EQ(WaitForSingleObject(duplicate, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  thread.release = true;
  EXPECT_EQ(WaitForSingleObject(duplicate, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(thread.done);
  CloseHandle(duplicate);
}

TEST(MonitorWin, ReentryAndExclusion) {
  cMonitor monitor;
  ASSERT_NE(monitor.mutex, nullptr);
  monitor.Enter();
  monitor.Enter();  // the owner may enter again
  EXPECT_TRUE(monitor.locked);
  int shared = 0;
  Contender a(monitor, shared), b(monitor, shared);
  ASSERT_TRUE(a.Start());
  ASSERT_TRUE(b.Start());
  Sleep(30);
  EXPECT_EQ(shared, 0);  // both wait while we hold it
  monitor.Leave();
  Sleep(30);
  EXPECT_EQ(shared, 0);  // still held once
  monitor.Leave();
  a.Stop();
  b.Stop();
  EXPECT_EQ(shared, 2 * Contender::kRounds);
  EXPECT_FALSE(monitor.locked);
}

}  // namespace
