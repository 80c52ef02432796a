// Win32 forwarding: threads, their priorities, events and waiting.
// The layer's headers come before win32.h: they declare names that windows.h makes macros.
#include "platform/thread.h"
#include "platform/sync.h"

namespace {
// The layer's values, taken before windows.h turns their names into its macros.
constexpr auto kStillActive = win::STILL_ACTIVE;
constexpr int kPriorities[] = {win::THREAD_PRIORITY_IDLE, win::THREAD_PRIORITY_BELOW_NORMAL,
                               win::THREAD_PRIORITY_TIME_CRITICAL, win::THREAD_PRIORITY_ERROR_RETURN};
constexpr auto kWaitTimeout = win::WAIT_TIMEOUT;
constexpr auto kWaitFailed = win::WAIT_FAILED;
}  // namespace

#include "platform/win32/win32.h"

static_assert(kStillActive == STILL_ACTIVE);
static_assert(kPriorities[0] == THREAD_PRIORITY_IDLE && kPriorities[1] == THREAD_PRIORITY_BELOW_NORMAL &&
              kPriorities[2] == THREAD_PRIORITY_TIME_CRITICAL && kPriorities[3] == THREAD_PRIORITY_ERROR_RETURN);
static_assert(kWaitTimeout == WAIT_TIMEOUT && kWaitFailed == WAIT_FAILED);

namespace win {

HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    DWORD* threadId) {
  return ::CreateThread(static_cast<::LPSECURITY_ATTRIBUTES>(security), stackSize,
                        reinterpret_cast<::LPTHREAD_START_ROUTINE>(start), parameter, flags,
                        reinterpret_cast<::DWORD*>(threadId));
}

HANDLE GetCurrentThread() {
  return ::GetCurrentThread();
}
DWORD GetCurrentThreadId() {
  return ::GetCurrentThreadId();
}
BOOL SetThreadPriority(HANDLE thread, int priority) {
  return ::SetThreadPriority(thread, priority);
}
int GetThreadPriority(HANDLE thread) {
  return ::GetThreadPriority(thread);
}

void FreeLibraryAndExitThread(HMODULE module, DWORD exitCode) {
  ::FreeLibraryAndExitThread(win32::As<::HMODULE>(module), exitCode);
}

HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  return ::CreateEventW(static_cast<::LPSECURITY_ATTRIBUTES>(security), manualReset, initialState, name);
}

BOOL SetEvent(HANDLE event) {
  return ::SetEvent(event);
}
BOOL ResetEvent(HANDLE event) {
  return ::ResetEvent(event);
}
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  return ::WaitForSingleObject(object, milliseconds);
}

}  // namespace win
