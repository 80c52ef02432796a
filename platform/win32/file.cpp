// Win32 forwarding: file search, files, standard handles.
#include <cstddef>

#include "platform/win32/win32.h"

static_assert(sizeof(win::WIN32_FIND_DATAW) == sizeof(::WIN32_FIND_DATAW));
static_assert(offsetof(win::WIN32_FIND_DATAW, cFileName) == offsetof(::WIN32_FIND_DATAW, cFileName));
static_assert(offsetof(win::WIN32_FIND_DATAW, cAlternateFileName) ==
              offsetof(::WIN32_FIND_DATAW, cAlternateFileName));

namespace win {

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  return ::FindFirstFileW(pattern, reinterpret_cast<::WIN32_FIND_DATAW*>(data));
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data) {
  return ::FindNextFileW(search, reinterpret_cast<::WIN32_FIND_DATAW*>(data));
}

BOOL FindClose(HANDLE search) { return ::FindClose(search); }

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD creation,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileW(path, access, shareMode, static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes),
                       creation, flagsAndAttributes, templateFile);
}

BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* written, void* overlapped) {
  ::DWORD count = 0;
  const ::BOOL ok = ::WriteFile(file, data, size, &count, static_cast<::LPOVERLAPPED>(overlapped));
  if (written) *written = count;
  return ok;
}

BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, DWORD* read, void* overlapped) {
  ::DWORD count = 0;
  const ::BOOL ok = ::ReadFile(file, data, size, &count, static_cast<::LPOVERLAPPED>(overlapped));
  if (read) *read = count;
  return ok;
}

HANDLE GetStdHandle(DWORD kind) { return ::GetStdHandle(kind); }

UINT GetConsoleOutputCP() { return ::GetConsoleOutputCP(); }

}  // namespace win

namespace win {

BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes) {
  return ::CreateDirectoryW(path, static_cast<::LPSECURITY_ATTRIBUTES>(securityAttributes));
}

BOOL RemoveDirectoryW(LPCWSTR path) { return ::RemoveDirectoryW(path); }

BOOL DeleteFileW(LPCWSTR path) { return ::DeleteFileW(path); }

DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
  return ::GetFullPathNameW(path, size, buffer, filePart);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); }

}  // namespace win
