// Simulated machine: INF files as SetupAPI reads them.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

struct InfLine {
  bool hasKey = false;
  std::wstring key;
  std::vector<std::wstring> fields;  // after '=' (or the whole line without a key)
};

struct InfSection {
  std::wstring name;
  std::vector<InfLine> lines;
};

struct InfFile {
  std::vector<InfSection> sections;  // a section written twice is one section

  const InfSection* Section(const std::wstring& name) const;
  /// The first field of the first line of `section` whose key is `key`; empty when there is none.
  std::wstring Value(const std::wstring& section, const std::wstring& key) const;
};

inline constexpr win::DWORD ERROR_EXPECTED_SECTION_NAME = 0xE0000000;
inline constexpr win::DWORD ERROR_BAD_SECTION_NAME_LINE = 0xE0000001;

/// Reads INF text: UTF-16LE with its byte-order mark, else bytes in the machine's ANSI code page.
/// Failure: a SetupAPI error code, `*errorLine` the line. Success: 0.
win::DWORD ParseInf(const std::string& bytes, InfFile& out, win::UINT* errorLine);

/// Reads the INF file at the Windows path `path` on the current machine, as SetupOpenInfFileW does
/// (INF_STYLE_WIN4). Success: 0. Failure: the error SetupOpenInfFileW gives.
win::DWORD ReadInfFile(const std::wstring& path, InfFile& out, win::UINT* errorLine);

}  // namespace sim
