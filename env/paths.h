// Path helpers: the executable's directory, directory parts, parent references, existence.
#pragma once

#include <string>

/// The running executable's directory, with its trailing backslash.
std::wstring GetModuleDirectory();

/// `path` up to and including its last backslash, where neither the first nor the last character
/// counts; a path without such a backslash comes back whole ("C:\dir\" gives "C:\").
std::wstring GetPathDirectory(const std::wstring& path);

/// `path` with every "\.." removed together with the component before it ("C:\a\b\..\x" -> "C:\a\x").
std::wstring CollapseParentDirs(const std::wstring& path);

/// True when at least one file or directory matches `path` (which may hold wildcards).
bool FileExists(const std::wstring& path);
