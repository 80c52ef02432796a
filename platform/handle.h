// Kernel object handles: closing, and the owner traits for them.
#pragma once

#include "platform/types.h"

namespace win {

/// CloseHandle: closes a file, process, thread, token or console handle.
/// Success: TRUE. Failure: FALSE, last error ERROR_INVALID_HANDLE for a value that is no open handle.
BOOL CloseHandle(HANDLE handle);

/// Owner traits for handles whose invalid value is INVALID_HANDLE_VALUE (files).
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle InvalidValue() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle handle) { CloseHandle(handle); }
};

/// Owner traits for handles whose invalid value is null (processes, threads, tokens).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle InvalidValue() { return nullptr; }
  static void Free(Handle handle) { CloseHandle(handle); }
};

}  // namespace win
