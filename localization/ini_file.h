// CIniFile: the reader of sectioned settings files (language files, the driver configuration).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

/// Reads a whole settings file at construction (UTF-16LE after an FF FE mark, otherwise ANSI in the
/// system code page) and answers lookups from memory. Section and key names are kept lower-cased and
/// ordered by UTF-16 code unit. The reader never fails: whatever it cannot read is absent, and a
/// malformed line ends the reading with what was read before it kept.
class CIniFile {
 public:
  /// Reads the file at `path` (relative paths are taken against the current directory).
  explicit CIniFile(const std::wstring& path);

  /// Reads `bytes` as the content of a file.
  struct FromBytes {};
  CIniFile(FromBytes, std::string_view bytes);

  CIniFile(const CIniFile&) = delete;
  CIniFile& operator=(const CIniFile&) = delete;

  /// The value, or the shared empty string when the section or the key is absent.
  const std::wstring& GetValue(const std::wstring& section, const std::wstring& key) const;

  /// The number of keys in the section; 0 when it is absent.
  unsigned GetKeyCount(const std::wstring& section) const;

  /// The index-th key (lower case) and its value in ascending key order; false when the section is
  /// absent or the index is not below the key count (the outputs stay untouched then).
  bool GetKeyAt(const std::wstring& section, unsigned index, std::wstring& key, std::wstring& value) const;

  unsigned GetSectionCount() const;

  /// The index-th section name (lower case) in ascending order; `index` must be below GetSectionCount.
  const std::wstring& GetSectionName(unsigned index) const;

  /// The 1-based line at which a malformed line ended the reading, or 0 when the whole file was read.
  unsigned StoppedAtLine() const { return m_stoppedAtLine; }

 private:
  using KeyTable = std::map<std::wstring, std::wstring>;

  void Parse(std::string_view bytes);
  // Applies the grammar to one line; false when the line ends the reading.
  bool ApplyLine(const std::wstring& whole, std::wstring& current, bool& haveSection);
  const KeyTable* FindSection(const std::wstring& section) const;

  std::map<std::wstring, std::unique_ptr<KeyTable>> m_sections;
  unsigned m_stoppedAtLine = 0;
};
