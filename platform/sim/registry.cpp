// Simulated machine: the registry calls over the machine's registry store.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/registry_store.h"

namespace sim {

namespace {

constexpr win::LONG kKeyDeleted = 1018;  // ERROR_KEY_DELETED

struct KeyObject : Object {
  std::wstring path;
};

// The full path of an open or predefined key; empty for a handle that is neither.
std::wstring PathOf(win::HKEY key) {
  const auto v = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
  switch (v) {
    case 0x80000000u: return L"HKEY_CLASSES_ROOT";
    case 0x80000001u: return L"HKEY_CURRENT_USER";
    case 0x80000002u: return L"HKEY_LOCAL_MACHINE";
    case 0x80000003u: return L"HKEY_USERS";
    default: break;
  }
  auto object = Handles().Get<KeyObject>(key);
  return object ? object->path : std::wstring();
}

std::wstring Join(const std::wstring& base, win::LPCWSTR sub) {
  if (!sub || !*sub) return base;
  return base + L"\\" + sub;
}

}  // namespace

win::HKEY OpenKeyHandle(const std::wstring& path) {
  auto object = std::make_shared<KeyObject>();
  object->path = path;
  return reinterpret_cast<win::HKEY>(Handles().Add(object));
}

}  // namespace sim

namespace win {

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (!m.Reg().Find(base)) return sim::kKeyDeleted;
  const sim::RegKey* found = m.Reg().Find(sim::Join(base, subKey));
  if (!found) return ERROR_FILE_NOT_FOUND;
  *result = sim::OpenKeyHandle(found->path);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD, REGSAM, void* security,
                     HKEY* result, DWORD* disposition) {
  if (!result || reserved || className || security) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (!m.Reg().Find(base)) return sim::kKeyDeleted;
  bool created = false;
  const sim::RegKey& k = m.Reg().Create(sim::Join(base, subKey), &created);
  if (created) m.SetDirty();
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = sim::OpenKeyHandle(k.path);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (!m.Reg().Find(base)) return sim::kKeyDeleted;
  const sim::RegValue* v = m.Reg().GetValue(base, name ? name : L"");
  if (!v) return ERROR_FILE_NOT_FOUND;
  const DWORD need = static_cast<DWORD>(v->data.size());
  if (type) *type = v->type;
  if (!data) {
    if (size) *size = need;
    return ERROR_SUCCESS;
  }
  if (*size < need) {
    *size = need;
    return ERROR_MORE_DATA;
  }
  std::copy(v->data.begin(), v->data.end(), data);
  *size = need;
  return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (reserved || (!data && size)) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  sim::RegKey* k = m.Reg().Find(base);
  if (!k || base.find(L'\\') == std::wstring::npos) return k ? ERROR_ACCESS_DENIED : sim::kKeyDeleted;
  const std::wstring n = name ? name : L"";
  k->values[sim::RegLower(n)] = sim::RegValue{n, type, std::vector<BYTE>(data, data + size)};
  m.SetDirty();
  return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  sim::RegKey* k = m.Reg().Find(base);
  if (!k) return sim::kKeyDeleted;
  if (!k->values.erase(sim::RegLower(name ? name : L""))) return ERROR_FILE_NOT_FOUND;
  m.SetDirty();
  return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const std::wstring path = sim::Join(base, subKey);
  if (!m.Reg().Find(path)) return ERROR_FILE_NOT_FOUND;
  if (!m.Reg().Subkeys(path).empty()) return ERROR_ACCESS_DENIED;
  m.Reg().RemoveTree(path);
  m.SetDirty();
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved, LPWSTR className,
                   DWORD* classSize, void* lastWrite) {
  if (!name || !nameSize || reserved || className || classSize || lastWrite) return ERROR_INVALID_PARAMETER;
  const std::wstring base = sim::PathOf(key);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (!m.Reg().Find(base)) return sim::kKeyDeleted;
  const auto names = m.Reg().Subkeys(base);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::wstring& n = names[index];
  if (*nameSize < n.size() + 1) return ERROR_MORE_DATA;
  std::copy(n.begin(), n.end(), name);
  name[n.size()] = L'\0';
  *nameSize = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  const auto v = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
  if (v >= 0x80000000u && v <= 0x80000003u) return ERROR_SUCCESS;
  if (!sim::Handles().Holds<sim::KeyObject>(key)) return ERROR_INVALID_HANDLE;
  sim::Handles().Close(key);
  return ERROR_SUCCESS;
}

}  // namespace win
