// Test helpers that work on every platform: scratch directories and small files, through the
// platform layer only.
#pragma once

#include <string>

namespace testsupport {

/// A fresh, empty directory "<executable's directory>scratch\<name>\" (with trailing backslash).
std::wstring ScratchDirectory(const std::wstring& name);

/// Creates (or replaces) a file holding `bytes`. Returns false when it cannot be written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

/// The whole content of a file, or nothing when it cannot be read; `ok` tells which.
std::string ReadFileBytes(const std::wstring& path, bool* ok = nullptr);

/// Deletes a directory tree (files and directories below it, then itself).
void RemoveTree(const std::wstring& directory);

/// True when the program runs under Wine rather than Windows or the simulated machine; for the
/// few places where Wine answers differently from Windows (each such check says how).
bool UnderWine();

/// Narrow copy of ASCII text, for messages.
std::string Narrow(const std::wstring& text);

}  // namespace testsupport
