// The running process: its command line and thread-local storage slots.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD TLS_OUT_OF_INDEXES = 0xFFFFFFFF;

/// GetCommandLineW: the process's whole command line as Windows passed it. Never fails.
LPWSTR GetCommandLineW();

/// TlsAlloc: a free thread-local storage slot. Failure: TLS_OUT_OF_INDEXES, last error
/// ERROR_NO_MORE_ITEMS (all slots taken).
DWORD TlsAlloc();

/// TlsFree: gives a slot back. Failure: FALSE, last error ERROR_INVALID_PARAMETER.
BOOL TlsFree(DWORD index);

}  // namespace win
