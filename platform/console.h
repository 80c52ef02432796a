// The process's standard handles and the console's code page.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD STD_INPUT_HANDLE = static_cast<DWORD>(-10);
inline constexpr DWORD STD_OUTPUT_HANDLE = static_cast<DWORD>(-11);
inline constexpr DWORD STD_ERROR_HANDLE = static_cast<DWORD>(-12);

/// GetStdHandle: the handle of standard input, output or error, to be used with ReadFile and
/// WriteFile. Failure: INVALID_HANDLE_VALUE, last error ERROR_INVALID_HANDLE (unknown kind).
HANDLE GetStdHandle(DWORD kind);

/// GetConsoleOutputCP: the code page in which console output is shown (the simulated machine's console
/// is the host terminal, which shows UTF-8). Never fails.
UINT GetConsoleOutputCP();

}  // namespace win
