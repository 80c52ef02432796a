// Reading a driver package's INF file through SetupAPI.
#include "siblings/DevSetupEngine/package.h"

#include "platform/error.h"
#include "platform/file.h"
#include "platform/inf.h"
#include "platform/scoped.h"

namespace engine {

namespace {

std::wstring Field(const win::INFCONTEXT& line, win::DWORD index) {
  win::DWORD need = 0;
  if (!win::SetupGetStringFieldW(&line, index, nullptr, 0, &need) || need == 0) return {};
  std::wstring text(need, L'\0');
  if (!win::SetupGetStringFieldW(&line, index, text.data(), need, &need)) return {};
  text.resize(need - 1);
  return text;
}

wchar_t Fold(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

void AddId(std::vector<std::wstring>& ids, const std::wstring& id) {
  if (id.empty()) return;
  for (const auto& known : ids) {
    if (SameHardwareId(known, id)) return;
  }
  ids.push_back(id);
}

// Every hardware ID of the models section `name` (fields 2 and on of each line).
void CollectModels(win::HINF inf, const std::wstring& name, std::vector<std::wstring>& ids) {
  win::INFCONTEXT line{};
  bool more = win::SetupFindFirstLineW(inf, name.c_str(), nullptr, &line);
  while (more) {
    const win::DWORD fields = win::SetupGetFieldCount(&line);
    for (win::DWORD i = 2; i <= fields; ++i) AddId(ids, Field(line, i));
    more = win::SetupFindNextLine(&line, &line);
  }
}

}  // namespace

bool SameHardwareId(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool ReadDriverPackage(const std::wstring& path, DriverPackage& package) {
  if (path.empty()) {
    win::SetLastError(win::ERROR_INVALID_PARAMETER);
    return false;
  }
  wchar_t full[1024];
  const win::DWORD n = win::GetFullPathNameW(path.c_str(), 1024, full, nullptr);
  if (n == 0 || n >= 1024) {
    if (n >= 1024) win::SetLastError(win::ERROR_INVALID_NAME);
    return false;
  }
  win::WIN32_FIND_DATAW data{};
  const win::HANDLE found = win::FindFirstFileW(full, &data);
  if (found == win::INVALID_HANDLE_VALUE) return false;
  win::FindClose(found);
  if (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) {
    win::SetLastError(win::ERROR_ACCESS_DENIED);
    return false;
  }
  win::ScopedGeneric<win::InfTraits> inf(win::SetupOpenInfFileW(full, nullptr, win::INF_STYLE_WIN4, nullptr));
  if (!inf) return false;

  DriverPackage result;
  result.infPath = full;
  // [Manufacturer]: name = models-section[, decoration ...]; the models of every decoration count,
  // so one package serves the same devices on every Windows that reads it.
  win::INFCONTEXT line{};
  bool more = win::SetupFindFirstLineW(inf.get(), L"Manufacturer", nullptr, &line);
  while (more) {
    const std::wstring base = Field(line, 1);
    if (!base.empty()) {
      CollectModels(inf.get(), base, result.hardwareIds);
      const win::DWORD fields = win::SetupGetFieldCount(&line);
      for (win::DWORD i = 2; i <= fields; ++i) {
        const std::wstring decoration = Field(line, i);
        if (!decoration.empty()) CollectModels(inf.get(), base + L"." + decoration, result.hardwareIds);
      }
    }
    more = win::SetupFindNextLine(&line, &line);
  }
  if (result.hardwareIds.empty()) {
    win::SetLastError(win::ERROR_NO_MORE_ITEMS);
    return false;
  }
  package = std::move(result);
  return true;
}

}  // namespace engine
