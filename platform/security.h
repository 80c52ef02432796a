// Process tokens and privileges.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD TOKEN_ADJUST_PRIVILEGES = 0x20;
inline constexpr DWORD TOKEN_QUERY = 0x8;
inline constexpr DWORD SE_PRIVILEGE_ENABLED = 0x2;
inline constexpr DWORD ERROR_NOT_ALL_ASSIGNED = 1300;
inline constexpr DWORD ERROR_NO_SUCH_PRIVILEGE = 1313;

struct LUID {
  DWORD LowPart;
  LONG HighPart;
};

struct LUID_AND_ATTRIBUTES {
  LUID Luid;
  DWORD Attributes;
};

struct TOKEN_PRIVILEGES {
  DWORD PrivilegeCount;
  LUID_AND_ATTRIBUTES Privileges[1];
};

/// GetCurrentProcess: the pseudo handle of the calling process (needs no closing). Never fails.
HANDLE GetCurrentProcess();

/// OpenProcessToken: the access token of `process`. Success: TRUE, `*token` a handle to close with
/// CloseHandle. Failure: FALSE, last error ERROR_ACCESS_DENIED or ERROR_INVALID_HANDLE.
BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token);

/// LookupPrivilegeValueW: the LUID of a privilege name ("SeDebugPrivilege") on `system` (null: this
/// machine). Failure: FALSE, last error ERROR_NO_SUCH_PRIVILEGE.
BOOL LookupPrivilegeValueW(LPCWSTR system, LPCWSTR name, LUID* luid);

/// AdjustTokenPrivileges: enables or disables privileges of the token. TRUE also when not every
/// privilege could be assigned: the last error is then ERROR_NOT_ALL_ASSIGNED, else 0.
BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                           TOKEN_PRIVILEGES* previous, DWORD* returnLength);

}  // namespace win
