// Windows paths on the simulated machine: full-path forming, case-insensitive lookup in the drive
// folders, 8.3 short names and wildcard matching.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {

/// A full Windows path split into its drive and components ("C:\a\b" -> C, {a, b}).
struct WinPath {
  wchar_t drive = L'C';
  std::vector<std::wstring> parts;
  bool trailingSeparator = false;  // the text ended in a backslash (and named no root)
};

enum class PathStatus { Ok, InvalidName };

/// Forms the full path as GetFullPathNameW does: "/" is a separator, a relative path is taken against
/// the current directory, "." and ".." are resolved (".." at the root stays at the root), trailing
/// dots and blanks of components are dropped. `allowWildcards` lets the last component hold * and ?.
PathStatus MakeFullPath(const Machine& machine, std::wstring_view path, bool allowWildcards, WinPath& out);

/// "C:\a\b".
std::wstring ToString(const WinPath& path);

/// The process's current directory on the machine.
std::wstring CurrentDirectory(const Machine& machine);

/// The entry of `hostDir` whose name equals `name` without regard to case, if any.
std::optional<std::filesystem::path> FindEntry(const std::filesystem::path& hostDir, std::wstring_view name);

/// The host folder of the first `count` components, each matched without regard to case; empty when
/// the drive is unknown or a component is missing or is not a directory.
std::optional<std::filesystem::path> ResolveDirectory(const Machine& machine, const WinPath& path, std::size_t count);

/// Host path of the whole path when it exists (file or directory).
std::optional<std::filesystem::path> ResolveExisting(const Machine& machine, const WinPath& path);

/// The 8.3 short name Windows gives `longName` among its `siblings`, or empty when the long name is
/// already a valid 8.3 name.
std::wstring ShortName(std::wstring_view longName, const std::vector<std::wstring>& siblings);

/// Wildcard match of `name` against `pattern` (* any run, ? one character), without regard to case;
/// "*.*" matches every name.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name);

/// The whole content of a host file; empty when it cannot be read.
std::optional<std::string> ReadHostFile(const std::filesystem::path& file);

/// The Windows name of a host entry (its file name as UTF-16).
std::wstring WindowsName(const std::filesystem::path& host);

}  // namespace sim
