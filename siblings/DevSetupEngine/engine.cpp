// DevSetupEngine: installers for driver packages — presence of their devices, driver updates and
// removal — over SetupAPI and newdev.
#include <string>
#include <vector>

#include "components/driver_installer.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/module.h"
#include "platform/newdev.h"
#include "platform/registry.h"
#include "platform/scoped.h"
#include "platform/setupapi.h"
#include "siblings/DevSetupEngine/package.h"

namespace engine {

namespace {

// The hardware IDs of one device of a set; empty when it has none.
std::vector<std::wstring> HardwareIds(win::HDEVINFO set, win::SP_DEVINFO_DATA& device) {
  win::DWORD need = 0;
  win::DWORD type = 0;
  win::SetupDiGetDeviceRegistryPropertyW(set, &device, win::SPDRP_HARDWAREID, &type, nullptr, 0, &need);
  std::vector<std::wstring> ids;
  if (need < sizeof(wchar_t)) return ids;
  std::vector<wchar_t> buffer(need / sizeof(wchar_t) + 2, L'\0');
  if (!win::SetupDiGetDeviceRegistryPropertyW(set, &device, win::SPDRP_HARDWAREID, &type,
                                              reinterpret_cast<win::BYTE*>(buffer.data()),
                                              static_cast<win::DWORD>(buffer.size() * sizeof(wchar_t)), &need)) {
    return ids;
  }
  for (const wchar_t* p = buffer.data(); *p; p += ids.back().size() + 1) ids.emplace_back(p);
  return ids;
}

// Calls `visit(set, device, ids)` for every device (present ones only when `presentOnly`) until it
// returns false.
template <class Visit>
void ForEachDevice(bool presentOnly, Visit visit) {
  const win::DWORD flags = win::DIGCF_ALLCLASSES | (presentOnly ? win::DIGCF_PRESENT : 0);
  win::ScopedGeneric<win::DevInfoTraits> set(win::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, flags));
  if (!set) return;
  for (win::DWORD i = 0;; ++i) {
    win::SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!win::SetupDiEnumDeviceInfo(set.get(), i, &device)) return;
    if (!visit(set.get(), device, HardwareIds(set.get(), device))) return;
  }
}

bool ListsId(const std::vector<std::wstring>& ids, const std::wstring& id) {
  for (const auto& x : ids) {
    if (SameHardwareId(x, id)) return true;
  }
  return false;
}

std::string ReadWholeFile(const std::wstring& path) {
  win::ScopedGeneric<win::FileHandleTraits> file(win::CreateFileW(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                                                  nullptr, win::OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char chunk[4096];
  win::DWORD read = 0;
  while (win::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

std::wstring WindowsInfDirectory() {
  wchar_t dir[260];
  const win::UINT n = win::GetWindowsDirectoryW(dir, 260);
  if (n == 0 || n >= 260) return {};
  std::wstring text(dir, n);
  if (text.back() != L'\\') text += L'\\';
  return text + L"inf\\";
}

// Removes the installed copy `name` of an INF from the Windows INF directory: through
// SetupUninstallOEMInfW where Windows has it (XP and later), else by deleting the copy and its
// precompiled form as Windows 2000 leaves them.
void UninstallInfCopy(const std::wstring& infDir, const std::wstring& name) {
  win::ScopedGeneric<win::LibraryTraits> setupapi(win::LoadLibraryW(L"setupapi.dll"));
  const auto uninstall = setupapi ? reinterpret_cast<win::PFN_SetupUninstallOEMInfW>(
                                        win::GetProcAddress(setupapi.get(), "SetupUninstallOEMInfW"))
                                  : nullptr;
  if (uninstall && uninstall(name.c_str(), win::SUOI_FORCEDELETE, nullptr)) return;
  // Windows 2000, or a copy SetupAPI does not count as its own: the copy is this package's file
  // byte for byte, so it goes as a file.
  win::DeleteFileW((infDir + name).c_str());
  win::DeleteFileW((infDir + name.substr(0, name.size() - 4) + L".pnf").c_str());
}

class PackageInstaller final : public IDriverInstaller {
 public:
  explicit PackageInstaller(DriverPackage package) : m_package(std::move(package)) {}
  ~PackageInstaller() = default;

  void Reserved0() override {}
  void Reserved1() override {}

  bool Uninstall() override {
    bool removedAll = true;
    ForEachDevice(false, [&](win::HDEVINFO set, win::SP_DEVINFO_DATA& device, const std::vector<std::wstring>& ids) {
      if (!Serves(ids)) return true;
      win::SP_REMOVEDEVICE_PARAMS params{};
      params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
      params.ClassInstallHeader.InstallFunction = win::DIF_REMOVE;
      params.Scope = win::DI_REMOVEDEVICE_GLOBAL;
      // Without stored parameters a removal is global anyway, so a class installer that refuses
      // them does not stop it.
      win::SetupDiSetClassInstallParamsW(set, &device, &params.ClassInstallHeader, sizeof params);
      const bool removed = win::SetupDiCallClassInstaller(win::DIF_REMOVE, set, &device);
      removedAll = removedAll && removed;
      return true;
    });
    RemoveInfCopies();
    return removedAll;
  }

  bool IsDevicePresent(int flag, const wchar_t* hardwareId) override {
    const std::wstring id = hardwareId ? hardwareId : L"";
    if (flag == 0 && id.empty()) return false;
    if (flag != 0 && flag != 1) return false;
    bool present = false;
    ForEachDevice(true, [&](win::HDEVINFO, win::SP_DEVINFO_DATA&, const std::vector<std::wstring>& ids) {
      present = flag == 0 ? ListsId(ids, id) : Serves(ids);
      return !present;
    });
    return present;
  }

  bool UpdateDriver(const wchar_t* hardwareId, bool* reboot) override {
    if (!hardwareId || !*hardwareId) {
      win::SetLastError(win::ERROR_INVALID_PARAMETER);
      return false;
    }
    // Windows fails the update when no present device has the ID; say so the same way everywhere.
    if (!IsDevicePresent(0, hardwareId)) {
      win::SetLastError(win::ERROR_NO_SUCH_DEVINST);
      return false;
    }
    win::BOOL restart = win::FALSE;
    if (!win::UpdateDriverForPlugAndPlayDevicesW(nullptr, hardwareId, m_package.infPath.c_str(), win::INSTALLFLAG_FORCE,
                                                 &restart)) {
      return false;  // the last error is newdev's, for the caller to show
    }
    if (reboot && restart) *reboot = true;
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
  }

 private:
  bool Serves(const std::vector<std::wstring>& ids) const {
    for (const auto& id : ids) {
      if (ListsId(m_package.hardwareIds, id)) return true;
    }
    return false;
  }

  // The copies Windows made of this package's INF, byte for byte the package's file: "oemN.inf" on
  // Windows; Wine keeps the package's own name.
  void RemoveInfCopies() const {
    const std::wstring infDir = WindowsInfDirectory();
    const std::string original = ReadWholeFile(m_package.infPath);
    if (infDir.empty() || original.empty()) return;
    std::vector<std::wstring> copies;
    win::WIN32_FIND_DATAW data{};
    const win::HANDLE search = win::FindFirstFileW((infDir + L"*.inf").c_str(), &data);
    if (search == win::INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring name = data.cFileName;
      if (!(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) && ReadWholeFile(infDir + name) == original) {
        copies.push_back(name);
      }
    } while (win::FindNextFileW(search, &data));
    win::FindClose(search);
    for (const auto& name : copies) UninstallInfCopy(infDir, name);
  }

  DriverPackage m_package;
};

}  // namespace

}  // namespace engine

extern "C" IDriverInstaller* CreateInstaller(const wchar_t* packagePath) {
  engine::DriverPackage package;
  if (!packagePath || !engine::ReadDriverPackage(packagePath, package)) return nullptr;
  return new engine::PackageInstaller(std::move(package));
}

extern "C" void ReleaseInstaller(IDriverInstaller* installer) {
  delete static_cast<engine::PackageInstaller*>(installer);
}
