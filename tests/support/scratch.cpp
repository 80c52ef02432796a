// Test helpers over the platform layer.
#include "tests/support/scratch.h"

#include "env/paths.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/module.h"
#include "platform/scoped.h"

namespace testsupport {

void RemoveTree(const std::wstring& directory) {
  std::wstring dir = directory;
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  win::WIN32_FIND_DATAW data;
  win::ScopedGeneric<win::FindTraits> search(win::FindFirstFileW((dir + L"*").c_str(), &data));
  if (search) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      if (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(dir + name);
      } else {
        win::DeleteFileW((dir + name).c_str());
      }
    } while (win::FindNextFileW(search.get(), &data));
  }
  search.reset();
  dir.pop_back();
  win::RemoveDirectoryW(dir.c_str());
}

std::wstring ScratchDirectory(const std::wstring& name) {
  const std::wstring root = GetModuleDirectory() + L"scratch\\";
  win::CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring dir = root + name + L"\\";
  RemoveTree(dir);
  win::CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  win::ScopedGeneric<win::FileHandleTraits> file(win::CreateFileW(
      path.c_str(), win::GENERIC_WRITE, 0, nullptr, win::CREATE_ALWAYS, win::FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  win::DWORD written = 0;
  return bytes.empty() ||
         (win::WriteFile(file.get(), bytes.data(), static_cast<win::DWORD>(bytes.size()), &written, nullptr) &&
          written == bytes.size());
}

std::string ReadFileBytes(const std::wstring& path, bool* ok) {
  if (ok) *ok = false;
  win::ScopedGeneric<win::FileHandleTraits> file(win::CreateFileW(
      path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING,
      win::FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string out;
  char buf[4096];
  win::DWORD got = 0;
  while (win::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  if (ok) *ok = true;
  return out;
}

bool UnderWine() {
  const win::HMODULE ntdll = win::GetModuleHandleW(L"ntdll.dll");
  return ntdll && win::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace testsupport
