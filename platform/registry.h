// The registry: keys and values.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace win {

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;

// The predefined root keys, as Windows numbers them.
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000000)));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000001)));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000002)));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000003)));

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Registry calls answer with their error code (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...) instead of
// setting the thread's last error, as Windows' do. Key and value names match without regard to case.

/// RegOpenKeyExW: opens the subkey `subKey` of `key` (a root or an open key; empty or null subKey:
/// the key itself again). Success: ERROR_SUCCESS and `*result`. Failure: ERROR_FILE_NOT_FOUND for a
/// missing key, ERROR_INVALID_HANDLE for a bad `key`; `*result` untouched.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);

/// RegCreateKeyExW: opens `subKey`, creating it and every missing key on its path. `*disposition`
/// (if given) says REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. `className` and `security` must be
/// null. Failure as RegOpenKeyExW.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options, REGSAM access,
                     void* security, HKEY* result, DWORD* disposition);

/// RegQueryValueExW: the type and data of value `name` (null or empty: the key's default value).
/// No buffer: ERROR_SUCCESS and the size in `*size`. Buffer too small: ERROR_MORE_DATA, `*size` the
/// bytes needed, the buffer untouched. Missing value: ERROR_FILE_NOT_FOUND.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);

/// RegSetValueExW: stores `size` bytes of `data` as value `name` with `type`.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);

/// RegDeleteValueW: removes value `name`. Missing: ERROR_FILE_NOT_FOUND.
LONG RegDeleteValueW(HKEY key, LPCWSTR name);

/// RegDeleteKeyW: removes the subkey `subKey`, which must have no subkeys (else ERROR_ACCESS_DENIED).
/// Missing: ERROR_FILE_NOT_FOUND.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

/// RegEnumKeyExW: the index-th subkey's name (in `*nameSize` characters, terminator included on
/// entry, excluded on return). Past the last: ERROR_NO_MORE_ITEMS. Name too long: ERROR_MORE_DATA.
/// `reserved`, `className`, `classSize` and `lastWrite` must be null.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved, LPWSTR className,
                   DWORD* classSize, void* lastWrite);

/// RegCloseKey: closes an open key. Failure: ERROR_INVALID_HANDLE.
LONG RegCloseKey(HKEY key);

/// Owner traits for an open registry key (RegCloseKey on release).
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle InvalidValue() { return nullptr; }
  static void Free(Handle key) { RegCloseKey(key); }
};

}  // namespace win
