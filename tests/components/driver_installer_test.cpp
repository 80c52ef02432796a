// The driver-installer interface as the program uses it, against a stand-in for the library.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "components/driver_installer.h"

namespace {

std::vector<std::string> g_calls;

class FakeInstaller final : public IDriverInstaller {
 public:
  explicit FakeInstaller(std::wstring path) : m_path(std::move(path)) {}
  ~FakeInstaller() = default;
  void Reserved0() override { g_calls.push_back("slot0"); }
  void Reserved1() override { g_calls.push_back("slot1"); }
  bool Uninstall() override {
    g_calls.push_back("Uninstall");
    return true;
  }
  bool IsDevicePresent(int flag, const wchar_t* id) override {
    g_calls.push_back("IsDevicePresent " + std::to_string(flag) + " " + std::string(id, id + std::wcslen(id)));
    return flag == 1;
  }
  bool UpdateDriver(const wchar_t* id, bool* reboot) override {
    g_calls.push_back("UpdateDriver " + std::string(id, id + std::wcslen(id)));
    *reboot = true;
    return false;
  }
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

}  // namespace

extern "C" IDriverInstaller* CreateInstaller(const wchar_t* packagePath) {
  if (!packagePath || !*packagePath) return nullptr;
  return new FakeInstaller(packagePath);
}

extern "C" void ReleaseInstaller(IDriverInstaller* installer) {
  g_calls.push_back(installer ? "Release " + std::string(1, static_cast<char>(static_cast<FakeInstaller*>(installer)->Path()[0]))
                              : "Release null");
  delete static_cast<FakeInstaller*>(installer);
}

namespace {

TEST(DriverInstallerHolderTest, ReleasesEveryInstallerInReverseOrderNullIncluded) {
  g_calls.clear();
  {
    DriverInstallerHolder modem(CreateInstaller(L"M\\modem.inf"));
    DriverInstallerHolder none(CreateInstaller(L""));
    DriverInstallerHolder port(CreateInstaller(L"P\\port.inf"));
    ASSERT_TRUE(modem);
    EXPECT_FALSE(none);
    EXPECT_TRUE(port->IsDevicePresent(1, L""));
    bool reboot = false;
    EXPECT_FALSE(modem->UpdateDriver(L"USB\\VID_3F7D&PID_FFF1&MI_00", &reboot));
    EXPECT_TRUE(reboot);
    port->Uninstall();
  }
  EXPECT_EQ(g_calls, (std::vector<std::string>{"IsDevicePresent 1 ", "UpdateDriver USB\\VID_3F7D&PID_FFF1&MI_00",
                                               "Uninstall", "Release P", "Release null", "Release M"}));
}

TEST(DriverInstallerHolderTest, ReleasesWhenAnErrorLeavesTheScope) {
  g_calls.clear();
  try {
    DriverInstallerHolder port(CreateInstaller(L"P\\port.inf"));
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(g_calls, (std::vector<std::string>{"Release P"}));
}

}  // namespace
