// Path helpers.
#include "env/paths.h"

#include "platform/file.h"
#include "platform/module.h"

std::wstring GetModuleDirectory() {
  wchar_t buffer[1024] = {};
  win::GetModuleFileNameW(nullptr, buffer, 1024);
  buffer[1023] = L'\0';  // Windows XP leaves a full buffer unterminated
  return GetPathDirectory(buffer);
}

std::wstring GetPathDirectory(const std::wstring& path) {
  const std::size_t n = path.size();
  if (n >= 3) {
    for (std::size_t i = n - 2; i >= 1; --i) {
      if (path[i] == L'\\') return path.substr(0, i + 1);
    }
  }
  return path;
}

std::wstring CollapseParentDirs(const std::wstring& path) {
  std::wstring result = path;
  for (;;) {
    const std::size_t p = result.find(L"\\..");
    if (p == std::wstring::npos) return result;
    result.erase(p, 3);
    if (p == 0) continue;
    const std::size_t q = result.rfind(L'\\', p - 1);
    if (q != std::wstring::npos) result.erase(q, p - q);
  }
}

bool FileExists(const std::wstring& path) {
  win::WIN32_FIND_DATAW data;
  const win::HANDLE search = win::FindFirstFileW(path.c_str(), &data);
  if (search == win::INVALID_HANDLE_VALUE) return false;
  win::FindClose(search);
  return true;
}
