// Files: search, open, read and write.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;

inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};

/// FindFirstFileW: starts a search for files and directories matching `pattern`; the last path
/// component may hold the wildcards * and ?, matched without regard to case against the long name and
/// the 8.3 short name. A pattern without wildcards names one file or directory.
/// Success: a search handle, `data` filled with the first match.
/// Failure: INVALID_HANDLE_VALUE, `data` untouched; last error ERROR_FILE_NOT_FOUND (nothing matches,
/// or the pattern ends in a backslash), ERROR_PATH_NOT_FOUND (a directory of the path is missing),
/// ERROR_INVALID_NAME (an unusable path).
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);

/// FindNextFileW: the next match of a search. Success: TRUE, `data` filled.
/// No more matches: FALSE, last error ERROR_NO_MORE_FILES, `data` untouched.
/// Failure: FALSE, last error ERROR_INVALID_HANDLE for a value that is no search handle.
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);

/// FindClose: ends a search. Success: TRUE. Failure: FALSE, last error ERROR_INVALID_HANDLE.
BOOL FindClose(HANDLE search);

/// Owner traits for a search handle (FindClose on release).
struct FindTraits {
  using Handle = HANDLE;
  static Handle InvalidValue() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle search) { FindClose(search); }
};

/// CreateFileW: opens or creates a file (security attributes and template are not supported and must
/// be null). Success: a file handle; for CREATE_ALWAYS and OPEN_ALWAYS on an existing file the last
/// error is ERROR_ALREADY_EXISTS, otherwise 0. Failure: INVALID_HANDLE_VALUE, last error
/// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_FILE_EXISTS (CREATE_NEW), ERROR_ACCESS_DENIED
/// (a directory, or writing a read-only file), ERROR_SHARING_VIOLATION (an open handle's sharing
/// forbids this access), ERROR_INVALID_NAME.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD creation,
                   DWORD flagsAndAttributes, HANDLE templateFile);

/// WriteFile: writes `size` bytes at the file pointer (overlapped I/O is not supported; pass null).
/// Success: TRUE, `*written` (if given) the count written. Failure: FALSE, last error
/// ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED (handle not opened for writing) or ERROR_WRITE_FAULT.
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* written, void* overlapped);

/// ReadFile: reads up to `size` bytes at the file pointer. Success: TRUE, `*read` the count read
/// (0 at the end of the file). Failure: FALSE, last error ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED
/// (handle not opened for reading) or ERROR_READ_FAULT.
BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, DWORD* read, void* overlapped);

/// CreateDirectoryW: creates one directory (its parent must exist; security attributes must be null).
/// Success: TRUE. Failure: FALSE, last error ERROR_ALREADY_EXISTS (183) when a file or directory of
/// that name exists, ERROR_PATH_NOT_FOUND when the parent is missing, ERROR_INVALID_NAME.
BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes);

/// RemoveDirectoryW: removes an empty directory. Failure: FALSE, last error ERROR_FILE_NOT_FOUND,
/// ERROR_PATH_NOT_FOUND, ERROR_DIR_NOT_EMPTY, ERROR_DIRECTORY (267, not a directory).
BOOL RemoveDirectoryW(LPCWSTR path);

/// DeleteFileW: deletes a file. Failure: FALSE, last error ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
/// ERROR_ACCESS_DENIED (a directory, or a read-only file), ERROR_SHARING_VIOLATION (open without
/// FILE_SHARE_DELETE), ERROR_INVALID_NAME.
BOOL DeleteFileW(LPCWSTR path);

/// GetFullPathNameW: `path` as a full path (taken against the current directory, "." and ".."
/// resolved) into `buffer` of `size` characters. Success: its length without the terminator. Buffer
/// too small: the characters needed with the terminator, the buffer untouched. `filePart` (when
/// given) points at the last component in the buffer, or is null when the path ends in a separator.
/// Failure: 0, last error ERROR_INVALID_NAME.
DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart);

/// GetWindowsDirectoryW: the Windows directory ("C:\WINDOWS") into `buffer`. Success: its length.
/// Buffer too small: the characters needed with the terminator. Failure: 0.
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);

/// DeviceIoControl: sends the control code `code` with `inSize` bytes of `in` to the device opened
/// as `device` and receives up to `outSize` bytes into `out` (overlapped I/O is not supported).
/// Failure: FALSE, last error ERROR_INVALID_HANDLE, ERROR_INVALID_FUNCTION (not a device, or a code
/// the device does not know) or what the device answers.
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, DWORD* returned,
                     void* overlapped);

}  // namespace win
