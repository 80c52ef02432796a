// The driver-installer library against Wine's real SetupAPI and newdev: the shipped port package is
// installed on a card interface the test registers, and removed again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/driver_installer.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/scoped.h"
#include "platform/setupapi.h"
#include "tests/support/scratch.h"

namespace {

constexpr wchar_t kInstance[] = L"USB\\VID_3F7D&PID_FFF1&MI_01\\7&QXR00001&0&0001";
constexpr wchar_t kId[] = L"USB\\VID_3F7D&PID_FFF1&MI_01";
constexpr wchar_t kEnumKey[] = L"System\\CurrentControlSet\\Enum\\USB\\VID_3F7D&PID_FFF1&MI_01";

void SetText(win::HKEY key, const wchar_t* name, const std::wstring& text, win::DWORD type) {
  ASSERT_EQ(win::RegSetValueExW(key, name, 0, type, reinterpret_cast<const win::BYTE*>(text.c_str()),
                                static_cast<win::DWORD>((text.size() + 1) * sizeof(wchar_t))),
            win::ERROR_SUCCESS);
}

// Registers the card's interface MI_01 the way Windows finds it before it has a driver.
void RegisterInterfaceDevice() {
  win::HKEY key = nullptr;
  ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, (std::wstring(kEnumKey) + L"\\7&QXR00001&0&0001").c_str(), 0,
                                 nullptr, 0, win::KEY_ALL_ACCESS, nullptr, &key, nullptr),
            win::ERROR_SUCCESS);
  win::ScopedGeneric<win::RegKeyTraits> owner(key);
  SetText(key, L"ClassGUID", L"{36FC9E60-C465-11CF-8056-444553540000}", win::REG_SZ);
  SetText(key, L"DeviceDesc", L"Data card interface", win::REG_SZ);
  const std::wstring ids = std::wstring(L"USB\\VID_3F7D&PID_FFF1&REV_0000&MI_01") + L'\0' + kId + L'\0';
  SetText(key, L"HardwareID", ids, win::REG_MULTI_SZ);
}

struct Found {
  bool listed = false;
  std::wstring className, driver;
};

std::wstring Property(win::HDEVINFO set, win::SP_DEVINFO_DATA& d, win::DWORD property) {
  wchar_t buf[512] = {};
  win::DWORD type = 0;
  if (!win::SetupDiGetDeviceRegistryPropertyW(set, &d, property, &type, reinterpret_cast<win::BYTE*>(buf), sizeof buf,
                                              nullptr)) {
    return {};
  }
  return buf;
}

Found FindDevice() {
  Found f;
  win::ScopedGeneric<win::DevInfoTraits> set(win::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, win::DIGCF_ALLCLASSES));
  for (win::DWORD i = 0;; ++i) {
    win::SP_DEVINFO_DATA d{};
    d.cbSize = sizeof d;
    if (!win::SetupDiEnumDeviceInfo(set.get(), i, &d)) break;
    wchar_t id[512] = {};
    if (!win::SetupDiGetDeviceInstanceIdW(set.get(), &d, id, 512, nullptr)) continue;
    if (_wcsicmp(id, kInstance) != 0) continue;
    f.listed = true;
    f.className = Property(set.get(), d, win::SPDRP_CLASS);
    f.driver = Property(set.get(), d, win::SPDRP_DRIVER);
  }
  return f;
}

// The number of files in the Windows INF directory that are the package's INF byte for byte.
int InstalledCopies() {
  const std::string package = testsupport::ReadFileBytes(DRV_PORT_PACKAGE);
  int copies = 0;
  win::WIN32_FIND_DATAW data{};
  const win::HANDLE search = win::FindFirstFileW(L"C:\\windows\\inf\\*.inf", &data);
  if (search == win::INVALID_HANDLE_VALUE) return 0;
  do {
    if (testsupport::ReadFileBytes(std::wstring(L"C:\\windows\\inf\\") + data.cFileName) == package) ++copies;
  } while (win::FindNextFileW(search, &data));
  win::FindClose(search);
  return copies;
}

TEST(WineEngineTest, ThePortPackageIsInstalledOnARegisteredInterfaceAndRemovedAgain) {
  RegisterInterfaceDevice();
  IDriverInstaller* port = CreateInstaller(DRV_PORT_PACKAGE);
  ASSERT_NE(port, nullptr) << win::GetLastError();
  EXPECT_TRUE(port->IsDevicePresent(0, kId));
  EXPECT_TRUE(port->IsDevicePresent(1, L""));
  EXPECT_FALSE(port->IsDevicePresent(0, L"USB\\VID_3F7D&PID_FFF1&MI_02"));

  bool reboot = false;
  ASSERT_TRUE(port->UpdateDriver(kId, &reboot)) << win::GetLastError();
  const Found bound = FindDevice();
  ASSERT_TRUE(bound.listed);
  EXPECT_EQ(bound.className, L"Ports");
  EXPECT_FALSE(bound.driver.empty());
  EXPECT_EQ(InstalledCopies(), 1);

  // Wine reports success for an ID no device has; the engine says what Windows says.
  win::SetLastError(0);
  EXPECT_FALSE(port->UpdateDriver(L"USB\\VID_3F7D&PID_FFF1&MI_04", &reboot));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_SUCH_DEVINST);

  port->Uninstall();
  EXPECT_FALSE(FindDevice().listed);
  EXPECT_EQ(InstalledCopies(), 0);
  EXPECT_FALSE(port->IsDevicePresent(1, L""));
  ReleaseInstaller(port);
  ReleaseInstaller(nullptr);
}

TEST(WineEngineTest, NoInstallerForWhatIsNoPackage) {
  for (const wchar_t* path : {L"", L"C:\\windows", L"C:\\windows\\win.ini", L"C:\\no\\such.inf"}) {
    IDriverInstaller* installer = CreateInstaller(path);
    EXPECT_EQ(installer, nullptr);
    ReleaseInstaller(installer);
  }
}

}  // namespace
