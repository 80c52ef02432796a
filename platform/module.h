// Module file names and run-time loading of libraries.
#pragma once

#include "platform/types.h"

namespace win {

/// GetModuleFileNameW: the full path of `module` (null: the running executable) into `buffer`.
/// Success: the number of characters copied, without the terminator.
/// Buffer too small: the path cut to `size` - 1 characters and terminated, result `size`, last error
/// ERROR_INSUFFICIENT_BUFFER. Unknown module: 0, last error ERROR_MOD_NOT_FOUND or ERROR_INVALID_HANDLE.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

/// GetModuleHandleW: the handle of an already loaded module (null name: the executable).
/// Failure: null, last error ERROR_MOD_NOT_FOUND. Does not change the module's load count.
HMODULE GetModuleHandleW(LPCWSTR name);

/// LoadLibraryW: loads the library `name` (a bare name is looked up among system libraries, then in
/// the executable's directory; a path is taken as it is) and adds one to its load count.
/// Success: the module handle. Failure: null, last error ERROR_MOD_NOT_FOUND (126) for a missing file,
/// ERROR_BAD_EXE_FORMAT (193) for a file that is no library of this machine.
HMODULE LoadLibraryW(LPCWSTR name);

/// GetProcAddress: the export `name` of `module`. Failure: null, last error ERROR_PROC_NOT_FOUND (127),
/// or ERROR_INVALID_HANDLE for a handle that is no loaded module.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

/// FreeLibrary: takes one from the module's load count and unloads it at zero.
/// Success: TRUE. Failure: FALSE, last error ERROR_INVALID_HANDLE for a handle that is no loaded module.
BOOL FreeLibrary(HMODULE module);

/// Owner traits for a loaded library (FreeLibrary on release).
struct LibraryTraits {
  using Handle = HMODULE;
  static Handle InvalidValue() { return nullptr; }
  static void Free(Handle module) { FreeLibrary(module); }
};

}  // namespace win
