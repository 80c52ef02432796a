// Win32 forwarding: tokens, privileges and device control.
#include <cstddef>

#include "platform/security.h"
#include "platform/win32/win32.h"

static_assert(sizeof(win::TOKEN_PRIVILEGES) == sizeof(::TOKEN_PRIVILEGES));
static_assert(sizeof(win::LUID) == sizeof(::LUID));

namespace win {

HANDLE GetCurrentProcess() { return ::GetCurrentProcess(); }

BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) { return ::OpenProcessToken(process, access, token); }

BOOL LookupPrivilegeValueW(LPCWSTR system, LPCWSTR name, LUID* luid) {
  return ::LookupPrivilegeValueW(system, name, reinterpret_cast<::LUID*>(luid));
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                           TOKEN_PRIVILEGES* previous, DWORD* returnLength) {
  ::DWORD got = 0;
  const ::BOOL ok = ::AdjustTokenPrivileges(token, disableAll, reinterpret_cast<::TOKEN_PRIVILEGES*>(state), length,
                                            reinterpret_cast<::TOKEN_PRIVILEGES*>(previous), returnLength ? &got : nullptr);
  if (returnLength) *returnLength = got;
  return ok;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, DWORD* returned,
                     void* overlapped) {
  ::DWORD got = 0;
  const ::BOOL ok =
      ::DeviceIoControl(device, code, in, inSize, out, outSize, &got, static_cast<::LPOVERLAPPED>(overlapped));
  if (returned) *returned = got;
  return ok;
}

}  // namespace win
