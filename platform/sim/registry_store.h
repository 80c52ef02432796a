// The simulated machine's registry: keys with values, kept in a .reg file beside the description.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/types.h"

namespace sim {

inline constexpr const char* kRegistryFileName = "registry.reg";

struct RegValue {
  std::wstring name;  // as written; empty: the key's default value
  win::DWORD type = 1;
  std::vector<win::BYTE> data;
};

struct RegKey {
  std::wstring path;                       // full path as written, "HKEY_LOCAL_MACHINE\SYSTEM\..."
  std::map<std::wstring, RegValue> values;  // by lower-case name
};

/// Keys are full paths from a root ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS",
/// "HKEY_CLASSES_ROOT"); names match without regard to case. A key exists once created; creating one
/// creates its parents. The roots always exist.
class Registry {
 public:
  RegKey* Find(std::wstring_view path);
  const RegKey* Find(std::wstring_view path) const;
  /// Opens or creates the key and its parents; `created` says whether the key itself was new.
  RegKey& Create(std::wstring_view path, bool* created = nullptr);
  /// Removes the key and everything below it; false when it did not exist.
  bool RemoveTree(std::wstring_view path);
  /// The names of the key's direct subkeys, in order of their lower-case names.
  std::vector<std::wstring> Subkeys(std::wstring_view path) const;

  // Conveniences for the machine's own code.
  void SetString(std::wstring_view path, std::wstring_view name, std::wstring_view value, win::DWORD type = 1);
  void SetDword(std::wstring_view path, std::wstring_view name, win::DWORD value);
  void SetBinary(std::wstring_view path, std::wstring_view name, const std::vector<win::BYTE>& bytes);
  /// A string value (REG_SZ, REG_EXPAND_SZ) without its terminator; empty when missing.
  std::wstring GetString(std::wstring_view path, std::wstring_view name) const;
  const RegValue* GetValue(std::wstring_view path, std::wstring_view name) const;

  bool Empty() const { return m_keys.empty(); }

  /// The registry as a .reg text ("Windows Registry Editor Version 5.00", UTF-8).
  std::string Format() const;
  /// Reads a .reg text; `file` only names the file in errors. Throws MachineError.
  static Registry Parse(std::string_view text, const std::string& file);

  /// The root's canonical name for a root's name or abbreviation ("HKLM"), or empty.
  static std::wstring CanonicalRoot(std::wstring_view name);

 private:
  std::map<std::wstring, RegKey> m_keys;  // by lower-case path
};

/// A new open-key handle (for RegCloseKey) on the key at `path`, which must exist.
win::HKEY OpenKeyHandle(const std::wstring& path);

/// Registry data of text: its UTF-16 units, little-endian, with the terminator (REG_SZ); a list
/// gives each item terminated and one terminator more (REG_MULTI_SZ).
std::vector<win::BYTE> RegTextBytes(std::wstring_view text);
std::vector<win::BYTE> RegMultiTextBytes(const std::vector<std::wstring>& items);

/// Lower-case form of a key path or value name (ASCII and Latin letters, as the registry compares).
std::wstring RegLower(std::wstring_view text);

}  // namespace sim
