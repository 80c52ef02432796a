// Threads, their priorities, events and waits: what the Win32 layer and the simulated machine both answer.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/handle.h"
#include "platform/sync.h"
#include "platform/thread.h"

namespace {

constexpr win::DWORD kSentinel = 0xDEADBEEF;

struct Handoff {
  win::HANDLE go;    // the thread waits for it
  win::HANDLE done;  // the thread signals it
  int seen = 0;
};

win::DWORD WINCALL WaitThenSignal(win::LPVOID parameter) {
  auto* h = static_cast<Handoff*>(parameter);
  if (win::WaitForSingleObject(h->go, win::INFINITE) != win::WAIT_OBJECT_0) return 1;
  h->seen = 42;
  win::SetEvent(h->done);
  return 7;
}

TEST(ThreadTest, AThreadRunsItsRoutineAndItsHandleIsSignalledWhenItEnds) {
  Handoff h{win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr),
            win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr)};
  ASSERT_NE(h.go, nullptr);
  ASSERT_NE(h.done, nullptr);
  win::DWORD id = 0;
  const win::HANDLE thread = win::CreateThread(nullptr, 0, &WaitThenSignal, &h, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, win::GetCurrentThreadId());
  EXPECT_EQ(win::WaitForSingleObject(thread, 0), win::WAIT_TIMEOUT);  // it waits for `go`
  EXPECT_TRUE(win::SetEvent(h.go));
  EXPECT_EQ(win::WaitForSingleObject(h.done, win::INFINITE), win::WAIT_OBJECT_0);
  EXPECT_EQ(win::WaitForSingleObject(thread, win::INFINITE), win::WAIT_OBJECT_0);
  EXPECT_EQ(h.seen, 42);
  // A manual-reset event stays signalled; the auto-reset one let its one waiter go and reset.
  EXPECT_EQ(win::WaitForSingleObject(h.done, 0), win::WAIT_OBJECT_0);
  EXPECT_EQ(win::WaitForSingleObject(h.go, 0), win::WAIT_TIMEOUT);
  EXPECT_TRUE(win::ResetEvent(h.done));
  EXPECT_EQ(win::WaitForSingleObject(h.done, 10), win::WAIT_TIMEOUT);
  EXPECT_TRUE(win::CloseHandle(thread));
  EXPECT_TRUE(win::CloseHandle(h.go));
  EXPECT_TRUE(win::CloseHandle(h.done));
}

TEST(ThreadTest, PrioritiesAreSetAndReadBackAndUnknownOnesRefused) {
  const win::HANDLE self = win::GetCurrentThread();
  const int before = win::GetThreadPriority(self);
  ASSERT_NE(before, win::THREAD_PRIORITY_ERROR_RETURN);
  for (int p : {win::THREAD_PRIORITY_BELOW_NORMAL, win::THREAD_PRIORITY_TIME_CRITICAL, win::THREAD_PRIORITY_NORMAL}) {
    EXPECT_TRUE(win::SetThreadPriority(self, p)) << p;
    EXPECT_EQ(win::GetThreadPriority(self), p);
  }
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::SetThreadPriority(self, 7));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(win::GetThreadPriority(self), win::THREAD_PRIORITY_NORMAL);
  win::SetThreadPriority(self, before);
}

TEST(ThreadTest, HandlesThatAreNoThreadOrEventAreRefused) {
  const win::HANDLE bogus = win::CreateEventW(nullptr, win::TRUE, win::TRUE, nullptr);
  ASSERT_TRUE(win::CloseHandle(bogus));
  win::SetLastError(kSentinel);
  EXPECT_EQ(win::WaitForSingleObject(bogus, 0), win::WAIT_FAILED);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::SetEvent(bogus));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  win::SetLastError(kSentinel);
  EXPECT_EQ(win::GetThreadPriority(bogus), win::THREAD_PRIORITY_ERROR_RETURN);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

}  // namespace
