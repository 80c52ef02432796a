// CIniFile.
#include "localization/ini_file.h"

#include <iterator>
#include <string>

#include "localization/text.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/nls.h"
#include "platform/scoped.h"

namespace {

const std::wstring& SharedEmpty() {
  static const std::wstring empty;
  return empty;
}

// The file's bytes, opened without denying other readers or writers; empty when it cannot be read.
std::string ReadWholeFile(const std::wstring& path) {
  win::ScopedGeneric<win::FileHandleTraits> file(win::CreateFileW(
      path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE | win::FILE_SHARE_DELETE,
      nullptr, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[16384];
  win::DWORD got = 0;
  while (win::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

std::wstring AnsiToWide(const std::string& bytes, win::UINT codePage) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = win::MultiByteToWideChar(codePage, win::MB_PRECOMPOSED, bytes.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  win::MultiByteToWideChar(codePage, win::MB_PRECOMPOSED, bytes.data(), size, out.data(), n);
  return out;
}

}  // namespace

CIniFile::CIniFile(const std::wstring& path) { Parse(ReadWholeFile(path)); }

CIniFile::CIniFile(FromBytes, std::string_view bytes) { Parse(bytes); }

void CIniFile::Parse(std::string_view bytes) {
  if (bytes.size() < 2) return;
  const bool utf16 = static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE;
  const win::UINT codePage = utf16 ? 0 : win::GetACP();
  std::size_t pos = utf16 ? 2 : 0;
  std::wstring current;
  bool haveSection = false;
  unsigned lineNo = 0;

  while (pos < bytes.size()) {
    ++lineNo;
    std::wstring line;
    if (utf16) {
      line.reserve(1024);
      // A lone last byte is no whole unit: the stream ends there.
      while (pos + 1 < bytes.size()) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(bytes[pos]) |
                                               (static_cast<unsigned>(static_cast<unsigned char>(bytes[pos + 1])) << 8));
        pos += 2;
        if (unit == L'\n') {
          if (!line.empty() && line.back() == L'\r') line.pop_back();
          break;
        }
        line += unit;
      }
      if (pos + 1 == bytes.size()) pos = bytes.size();
    } else {
      std::string raw;
      raw.reserve(1024);
      while (pos < bytes.size()) {
        const char b = bytes[pos++];
        if (b == '\n') {
          if (!raw.empty() && raw.back() == '\r') raw.pop_back();
          break;
        }
        raw += b;
      }
      const auto zero = raw.find('\0');
      if (zero != std::string::npos) raw.resize(zero);
      line = AnsiToWide(raw, codePage);
    }
    if (!ApplyLine(line, current, haveSection)) {
      m_stoppedAtLine = lineNo;
      return;
    }
  }
}

bool CIniFile::ApplyLine(const std::wstring& whole, std::wstring& current, bool& haveSection) {
  // Steps 1 and 2 see the whole line; the rest sees it cut at its first zero character.
  if (whole.empty()) return true;
  if (whole[0] == L'#') return true;
  std::wstring line = whole.substr(0, whole.find(L'\0'));
  std::size_t start = 0;
  while (start < line.size() && IsTrimSpace(line[start])) ++start;
  line.erase(0, start);

  const auto a = line.find(L'[');
  const auto b = line.find(L']');
  const auto e = line.find(L'=');
  if (a != std::wstring::npos && b != std::wstring::npos && b > a + 1) {
    const std::wstring name = TrimSpaces(line.substr(a + 1, b - a - 1));
    if (name.empty()) return true;  // a header of blanks only: ignored, the section stays
    current = LowerCase(name);
    m_sections[current] = std::make_unique<KeyTable>();  // replaces an earlier block of that name
    haveSection = true;
    return true;
  }
  if (e != std::wstring::npos && e >= 1) {
    const std::wstring key = TrimSpaces(line.substr(0, e));
    const std::wstring value = TrimSpaces(line.substr(e + 1));
    if (!key.empty() && !value.empty() && haveSection) (*m_sections[current])[LowerCase(key)] = value;
    return true;
  }
  return false;
}

const CIniFile::KeyTable* CIniFile::FindSection(const std::wstring& section) const {
  auto it = m_sections.find(LowerCase(section));
  return it == m_sections.end() ? nullptr : it->second.get();
}

const std::wstring& CIniFile::GetValue(const std::wstring& section, const std::wstring& key) const {
  const KeyTable* table = FindSection(section);
  if (!table) return SharedEmpty();
  auto it = table->find(LowerCase(key));
  return it == table->end() ? SharedEmpty() : it->second;
}

unsigned CIniFile::GetKeyCount(const std::wstring& section) const {
  const KeyTable* table = FindSection(section);
  return table ? static_cast<unsigned>(table->size()) : 0;
}

bool CIniFile::GetKeyAt(const std::wstring& section, unsigned index, std::wstring& key, std::wstring& value) const {
  const KeyTable* table = FindSection(section);
  if (!table || index >= table->size()) return false;
  auto it = std::next(table->begin(), static_cast<std::ptrdiff_t>(index));
  key = it->first;
  value = it->second;
  return true;
}

unsigned CIniFile::GetSectionCount() const { return static_cast<unsigned>(m_sections.size()); }

const std::wstring& CIniFile::GetSectionName(unsigned index) const {
  return std::next(m_sections.begin(), static_cast<std::ptrdiff_t>(index))->first;
}
