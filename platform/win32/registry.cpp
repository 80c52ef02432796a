// Win32 forwarding: the registry.
#include "platform/registry.h"
#include "platform/win32/win32.h"

namespace win {

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  return ::RegOpenKeyExW(reinterpret_cast<::HKEY>(key), subKey, options, access, reinterpret_cast<::HKEY*>(result));
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options, REGSAM access,
                     void* security, HKEY* result, DWORD* disposition) {
  ::DWORD d = 0;
  const ::LONG r = ::RegCreateKeyExW(reinterpret_cast<::HKEY>(key), subKey, reserved, className, options, access,
                                     static_cast<::LPSECURITY_ATTRIBUTES>(security), reinterpret_cast<::HKEY*>(result),
                                     &d);
  if (disposition && r == ERROR_SUCCESS) *disposition = d;
  return r;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  ::DWORD t = 0;
  ::DWORD s = size ? *size : 0;
  const ::LONG r = ::RegQueryValueExW(reinterpret_cast<::HKEY>(key), name, reinterpret_cast<::DWORD*>(reserved), &t,
                                      data, size ? &s : nullptr);
  if (type && (r == ERROR_SUCCESS || r == ERROR_MORE_DATA)) *type = t;
  if (size) *size = s;
  return r;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return ::RegSetValueExW(reinterpret_cast<::HKEY>(key), name, reserved, type, data, size);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) { return ::RegDeleteValueW(reinterpret_cast<::HKEY>(key), name); }

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) { return ::RegDeleteKeyW(reinterpret_cast<::HKEY>(key), subKey); }

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved, LPWSTR className,
                   DWORD* classSize, void* lastWrite) {
  ::DWORD n = nameSize ? *nameSize : 0;
  const ::LONG r = ::RegEnumKeyExW(reinterpret_cast<::HKEY>(key), index, name, nameSize ? &n : nullptr,
                                   reinterpret_cast<::DWORD*>(reserved), className,
                                   reinterpret_cast<::DWORD*>(classSize), static_cast<::FILETIME*>(lastWrite));
  if (nameSize) *nameSize = n;
  return r;
}

LONG RegCloseKey(HKEY key) { return ::RegCloseKey(reinterpret_cast<::HKEY>(key)); }

}  // namespace win
