// Win32 forwarding: last error, version, modules, handles, tick count, debugger output.
#include <cstddef>
#include <cstring>

#include "platform/win32/win32.h"

static_assert(sizeof(win::OSVERSIONINFOW) == sizeof(::OSVERSIONINFOW));
static_assert(offsetof(win::OSVERSIONINFOW, szCSDVersion) == offsetof(::OSVERSIONINFOW, szCSDVersion));
static_assert(sizeof(win::SYSTEM_INFO) == sizeof(::SYSTEM_INFO));
static_assert(offsetof(win::SYSTEM_INFO, dwPageSize) == offsetof(::SYSTEM_INFO, dwPageSize));
static_assert(offsetof(win::SYSTEM_INFO, wProcessorRevision) == offsetof(::SYSTEM_INFO, wProcessorRevision));

namespace win {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD code) { ::SetLastError(code); }

BOOL GetVersionExW(OSVERSIONINFOW* info) { return ::GetVersionExW(reinterpret_cast<::OSVERSIONINFOW*>(info)); }

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  return ::GetModuleFileNameW(win32::As<::HMODULE>(module), buffer, size);
}

HMODULE GetModuleHandleW(LPCWSTR name) { return win32::As<HMODULE>(::GetModuleHandleW(name)); }

HMODULE LoadLibraryW(LPCWSTR name) { return win32::As<HMODULE>(::LoadLibraryW(name)); }

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return reinterpret_cast<FARPROC>(::GetProcAddress(win32::As<::HMODULE>(module), name));
}

BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(win32::As<::HMODULE>(module)); }

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

DWORD GetTickCount() { return ::GetTickCount(); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

void OutputDebugStringW(LPCWSTR text) { ::OutputDebugStringW(text); }

}  // namespace win
