// Threads: creating them, their priorities, and ending a thread that holds a library.
#pragma once

#include "platform/types.h"

namespace win {

/// The routine a new thread runs; its result is the thread's exit code.
using LPTHREAD_START_ROUTINE = DWORD(WINCALL*)(LPVOID parameter);

inline constexpr DWORD STILL_ACTIVE = 259;

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
inline constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

/// CreateThread: starts `start(parameter)` on a new thread. `security` must be null; `stackSize` 0
/// takes the default; `flags` 0 (the simulated machine refuses CREATE_SUSPENDED and others).
/// Success: a handle with full access (close it with CloseHandle; the thread runs on), and the
/// thread's id in `threadId` when given. Failure: null, last error ERROR_INVALID_PARAMETER (bad
/// flags or no routine) or ERROR_NOT_ENOUGH_MEMORY; `threadId` is left untouched.
HANDLE CreateThread(void* security, std::size_t stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    DWORD* threadId);

/// GetCurrentThread: the pseudo-handle that stands for the calling thread in thread calls. It
/// need not be closed. Never fails.
HANDLE GetCurrentThread();

/// GetCurrentThreadId: the calling thread's id. Never fails.
DWORD GetCurrentThreadId();

/// SetThreadPriority: sets the thread's priority to one of the THREAD_PRIORITY_* values.
/// Success: TRUE. Failure: FALSE, last error ERROR_INVALID_HANDLE (no thread handle) or
/// ERROR_INVALID_PARAMETER (no such priority); the priority is left as it was.
BOOL SetThreadPriority(HANDLE thread, int priority);

/// GetThreadPriority: the thread's priority (a THREAD_PRIORITY_* value). Failure:
/// THREAD_PRIORITY_ERROR_RETURN, last error ERROR_INVALID_HANDLE.
int GetThreadPriority(HANDLE thread);

/// FreeLibraryAndExitThread: takes one from `module`'s load count and ends the calling thread with
/// `exitCode`, so that a thread running inside a library can give up the library's last reference
/// without returning into unloaded code. Does not return.
[[noreturn]] void FreeLibraryAndExitThread(HMODULE module, DWORD exitCode);

}  // namespace win
