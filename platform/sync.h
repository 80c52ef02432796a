// Waiting: events and waiting for a thread or an event.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

/// CreateEventW: a new unnamed event. `security` and `name` must be null. A manual-reset event stays
/// signalled until ResetEvent; an auto-reset one releases a single waiter and resets itself.
/// Success: the handle (close it with CloseHandle). Failure: null, last error ERROR_INVALID_PARAMETER
/// or ERROR_NOT_ENOUGH_MEMORY.
HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name);

/// SetEvent: signals the event. Success: TRUE. Failure: FALSE, last error ERROR_INVALID_HANDLE.
BOOL SetEvent(HANDLE event);

/// ResetEvent: makes the event unsignalled. Success: TRUE. Failure: FALSE, last error
/// ERROR_INVALID_HANDLE.
BOOL ResetEvent(HANDLE event);

/// WaitForSingleObject: waits until the thread has ended or the event is signalled, at most
/// `milliseconds` (INFINITE: without limit; 0: only tests). Returns WAIT_OBJECT_0 when it was (an
/// auto-reset event is reset by it), WAIT_TIMEOUT when the time passed first, and WAIT_FAILED with
/// last error ERROR_INVALID_HANDLE for a handle that is neither.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

}  // namespace win
