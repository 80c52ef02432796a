// The driver-installer library on simulated machines: presence, driver updates, COM names, removal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/driver_installer.h"
#include "install/popup_watcher.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/newdev.h"
#include "platform/setupapi.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kPortPackage[] = L"C:\\App\\Driver\\Win7\\Win64\\DrvsetupPort.inf";
constexpr wchar_t kModemPackage[] = L"C:\\App\\Driver\\Win7\\Win64\\DrvsetupModem.inf";
constexpr wchar_t kMi00[] = L"USB\\VID_3F7D&PID_FFF1&MI_00";
constexpr wchar_t kMi01[] = L"USB\\VID_3F7D&PID_FFF1&MI_01";
constexpr wchar_t kMi02[] = L"USB\\VID_3F7D&PID_FFF1&MI_02";
constexpr wchar_t kArbiter[] = L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";

struct Owned {
  explicit Owned(IDriverInstaller* p) : installer(p) {}
  ~Owned() { ReleaseInstaller(installer); }
  IDriverInstaller* operator->() const { return installer; }
  IDriverInstaller* installer;
};

// A machine with the product's driver tree in C:\App\Driver, a card of `model` plugged in switched
// with `interfaces`, and one unrelated device.
class EngineTest : public ::testing::Test {
 protected:
  void Start(const std::string& tmpl = "win7-x64", const std::function<void(sim::Description&)>& adjust = {},
             std::vector<int> interfaces = {0, 1, 2}) {
    m_machine.emplace(tmpl, [&](sim::Description& d) {
      d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
      d.process.currentDirectory.clear();
      sim::CardDescription card;
      card.startsComposite = true;
      card.interfaces = interfaces;
      d.cards.push_back(card);
      sim::DeviceDescription other;
      other.instanceId = L"USB\\VID_1234&PID_0001\\5";
      other.hardwareIds = {L"USB\\VID_1234&PID_0001"};
      other.classGuid = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
      other.className = L"Ports";
      d.devices.push_back(other);
      if (adjust) adjust(d);
    });
    fs::copy(DRV_PRODUCT_DIR "/Driver", m_machine->Folder() / "drive_c" / "App" / "Driver", fs::copy_options::recursive);
    win::Sleep(5000);  // the card's interfaces appear
  }

  sim::Machine& M() { return m_machine->Get(); }
  const sim::DeviceDescription& Device(const std::wstring& prefix) {
    for (const auto& d : M().Desc().devices) {
      if (d.instanceId.starts_with(prefix)) return d;
    }
    throw std::runtime_error("no such device");
  }
  fs::path InfDir() { return m_machine->Folder() / "drive_c" / "WINDOWS" / "inf"; }

  std::optional<testsupport::ScopedMachine> m_machine;
};

TEST_F(EngineTest, PackagesThatCannotBeReadGiveNoInstaller) {
  Start();
  std::ofstream(m_machine->Folder() / "drive_c" / "App" / "notes.txt") << "no INF at all\r\n";
  std::ofstream(m_machine->Folder() / "drive_c" / "App" / "empty.inf") << "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
  for (const wchar_t* path : {L"", L"C:\\App\\Driver\\Win7\\Win64\\", L"C:\\App\\Driver\\Win7\\Win64",
                              L"C:\\App\\Driver\\Win7\\Win64\\missing.inf", L"C:\\App\\notes.txt", L"C:\\App\\empty.inf"}) {
    IDriverInstaller* installer = CreateInstaller(path);
    EXPECT_EQ(installer, nullptr) << testsupport::Narrow(path);
    ReleaseInstaller(installer);
  }
  ReleaseInstaller(nullptr);
}

TEST_F(EngineTest, PresenceByExactIdAndByAnyIdThePackageServes) {
  Start("win7-x64", {}, {0, 1});
  Owned port(CreateInstaller(kPortPackage));
  Owned modem(CreateInstaller(kModemPackage));
  ASSERT_NE(port.installer, nullptr);
  EXPECT_TRUE(port->IsDevicePresent(0, kMi01));
  EXPECT_TRUE(port->IsDevicePresent(0, L"usb\\vid_3f7d&pid_fff1&mi_01"));  // IDs compare without case
  EXPECT_FALSE(port->IsDevicePresent(0, kMi02));                           // not on this card
  EXPECT_FALSE(port->IsDevicePresent(0, L"USB\\VID_3F7D&PID_FFF1&MI_0"));  // a part of an ID is no ID
  EXPECT_FALSE(port->IsDevicePresent(0, L""));
  EXPECT_TRUE(port->IsDevicePresent(1, L""));
  EXPECT_TRUE(modem->IsDevicePresent(1, L""));
}

TEST_F(EngineTest, AnyIdIsFalseWhileTheCardIsInItsCdromForm) {
  Start("win7-x64", [](sim::Description& d) { d.cards[0].startsComposite = false; });
  Owned port(CreateInstaller(kPortPackage));
  EXPECT_FALSE(port->IsDevicePresent(1, L""));
  EXPECT_FALSE(port->IsDevicePresent(0, kMi01));
}

TEST_F(EngineTest, AnUpdateBindsThePortDriverAndClaimsTheLowestFreeComName) {
  Start();
  // COM1 to COM10 are reserved (bits 0 to 9 of the arbiter's database), COM12 too.
  M().Reg().SetBinary(kArbiter, L"ComDB", {0xFF, 0x03 | 0x08});
  Owned port(CreateInstaller(kPortPackage));
  Owned modem(CreateInstaller(kModemPackage));
  bool reboot = false;
  ASSERT_TRUE(port->UpdateDriver(kMi01, &reboot)) << win::GetLastError();
  EXPECT_FALSE(reboot);
  ASSERT_TRUE(modem->UpdateDriver(kMi00, &reboot));
  ASSERT_TRUE(port->UpdateDriver(kMi02, &reboot));

  const auto& mi01 = Device(L"USB\\VID_3F7D&PID_FFF1&MI_01");
  EXPECT_EQ(mi01.className, L"Ports");
  EXPECT_EQ(mi01.classGuid, "{4D36E978-E325-11CE-BFC1-08002BE10318}");
  EXPECT_FALSE(mi01.driver.empty());
  EXPECT_EQ(mi01.friendlyName, L"USB Data Card Port (COM11)");
  EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_00").className, L"Modem");
  EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_02").friendlyName, L"USB Data Card Port (COM14)");
  const auto* db = M().Reg().GetValue(kArbiter, L"ComDB");
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->data[1], 0x03 | 0x04 | 0x08 | 0x10 | 0x20);  // COM9, 10, 11, 12 (reserved), 13 (modem), 14
  // The driver key names the installed copy of the INF.
  EXPECT_EQ(M().Reg().GetString(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\" + mi01.driver, L"InfPath"),
            L"oem0.inf");
  EXPECT_TRUE(fs::exists(InfDir() / "oem0.inf"));
  EXPECT_TRUE(fs::exists(InfDir() / "oem1.inf"));
}

TEST_F(EngineTest, FailuresKeepTheirErrorForTheCaller) {
  struct Case {
    const char* what;
    std::function<void(sim::Description&)> adjust;
    const wchar_t* id;
    win::DWORD error;
  };
  const Case cases[] = {
      {"the update fails with access denied", [](sim::Description& d) { d.setup.updateError = 5; }, kMi01, 5},
      {"only this ID fails",
       [](sim::Description& d) {
         d.setup.updateError = 0xE000020B;
         d.setup.updateErrorId = kMi01;
       },
       kMi01, 0xE000020B},
      {"no present device", {}, L"USB\\VID_3F7D&PID_FFF1&MI_04", win::ERROR_NO_SUCH_DEVINST},
      {"unsigned packages are blocked",
       [](sim::Description& d) { d.setup.signing = sim::SetupDescription::Signing::Block; }, kMi01,
       win::ERROR_NO_CATALOG_FOR_OEM_INF},
      {"no ID", {}, L"", win::ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    Start("win7-x64", c.adjust);
    Owned port(CreateInstaller(kPortPackage));
    bool reboot = false;
    win::SetLastError(0);
    EXPECT_FALSE(port->UpdateDriver(c.id, &reboot)) << c.what;
    EXPECT_EQ(win::GetLastError(), c.error) << c.what;
    EXPECT_FALSE(reboot) << c.what;
    EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_01").className, L"") << c.what;
    m_machine.reset();
  }
  // The failing ID alone fails; the others bind.
  Start("win7-x64", [](sim::Description& d) {
    d.setup.updateError = 31;
    d.setup.updateErrorId = kMi02;
  });
  Owned port(CreateInstaller(kPortPackage));
  bool reboot = false;
  EXPECT_TRUE(port->UpdateDriver(kMi01, &reboot));
}

TEST_F(EngineTest, AnUpdateThatNeedsARestartSaysSo) {
  Start("win7-x64", [](sim::Description& d) { d.setup.updateRestart = true; });
  Owned port(CreateInstaller(kPortPackage));
  bool reboot = false;
  EXPECT_TRUE(port->UpdateDriver(kMi01, &reboot));
  EXPECT_TRUE(reboot);
}

TEST_F(EngineTest, AnUnsignedPackageWaitsForTheSignatureWarning) {
  // Nobody answers: the installation gives up with the warning, and nothing is bound.
  auto warn = [](sim::Description& d) { d.setup.signing = sim::SetupDescription::Signing::Warn; };
  Start("winxp", warn);
  {
    Owned port(CreateInstaller(L"C:\\App\\Driver\\WinXP\\DrvsetupPort.inf"));
    bool reboot = false;
    const win::DWORD start = win::GetTickCount();
    EXPECT_FALSE(port->UpdateDriver(kMi01, &reboot));
    EXPECT_EQ(win::GetLastError(), win::ERROR_CANCELLED);
    EXPECT_GE(win::GetTickCount() - start, 300000u);
    EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_01").className, L"");
    EXPECT_EQ(M().Observed().windowEvents.back(), L"unanswered Hardware Installation");
  }
  m_machine.reset();

  // The watcher accepts it: the driver is installed.
  Start("winxp", warn);
  fs::copy_file(DRV_WATCHER, m_machine->Folder() / "drive_c" / "App" / "Bin" / "PopupWatcher.dll");
  CPopupWatcher watcher(L"C:\\App\\Bin\\");
  Owned port(CreateInstaller(L"C:\\App\\Driver\\WinXP\\DrvsetupPort.inf"));
  bool reboot = false;
  EXPECT_TRUE(port->UpdateDriver(kMi01, &reboot)) << win::GetLastError();
  EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_01").className, L"Ports");
  EXPECT_EQ(M().Observed().windowEvents.back(), L"accepted Hardware Installation");
}

TEST_F(EngineTest, UninstallRemovesThePackagesDevicesAndItsInfCopyAndNothingElse) {
  Start("win7-x64", {}, {0, 1, 2, 3});
  Owned port(CreateInstaller(kPortPackage));
  Owned modem(CreateInstaller(kModemPackage));
  bool reboot = false;
  ASSERT_TRUE(modem->UpdateDriver(kMi00, &reboot));
  ASSERT_TRUE(port->UpdateDriver(kMi01, &reboot));
  ASSERT_TRUE(port->UpdateDriver(kMi02, &reboot));
  ASSERT_TRUE(fs::exists(InfDir() / "oem1.inf"));

  EXPECT_TRUE(port->Uninstall());
  EXPECT_TRUE(Device(L"USB\\VID_3F7D&PID_FFF1&MI_01").removed);
  EXPECT_TRUE(Device(L"USB\\VID_3F7D&PID_FFF1&MI_02").removed);
  EXPECT_TRUE(Device(L"USB\\VID_3F7D&PID_FFF1&MI_03").removed);  // bound or not, present or not
  EXPECT_FALSE(Device(L"USB\\VID_3F7D&PID_FFF1&MI_00").removed);
  EXPECT_EQ(Device(L"USB\\VID_3F7D&PID_FFF1&MI_00").className, L"Modem");
  EXPECT_FALSE(Device(L"USB\\VID_1234&PID_0001").removed);
  EXPECT_FALSE(Device(L"USB\\VID_3F7D&PID_FFF1\\").removed);  // the composite device
  EXPECT_FALSE(fs::exists(InfDir() / "oem1.inf"));
  EXPECT_TRUE(fs::exists(InfDir() / "oem0.inf"));
  EXPECT_FALSE(port->IsDevicePresent(1, L""));
  EXPECT_TRUE(M().Reg().GetString(L"HKLM\\SYSTEM\\CurrentControlSet\\Enum\\" +
                                      Device(L"USB\\VID_3F7D&PID_FFF1&MI_01").instanceId,
                                  L"Driver")
                  .empty());

  EXPECT_TRUE(modem->Uninstall());
  EXPECT_FALSE(fs::exists(InfDir() / "oem0.inf"));
}

TEST_F(EngineTest, WindowsTwoThousandLosesTheInfCopyWithoutSetupUninstallOemInf) {
  // Windows 2000 has no SetupUninstallOEMInfW: the engine deletes the copy itself.
  Start("win2000");
  const std::wstring package = L"C:\\App\\Driver\\Win2K\\DrvsetupPort.inf";
  Owned port(CreateInstaller(package.c_str()));
  bool reboot = false;
  ASSERT_TRUE(port->UpdateDriver(kMi01, &reboot));
  const fs::path infDir = m_machine->Folder() / "drive_c" / "WINNT" / "inf";
  ASSERT_TRUE(fs::exists(infDir / "oem0.inf"));
  std::ofstream(infDir / "oem0.pnf") << "precompiled";
  EXPECT_TRUE(port->Uninstall());
  EXPECT_FALSE(fs::exists(infDir / "oem0.inf"));
  EXPECT_FALSE(fs::exists(infDir / "oem0.pnf"));
}

TEST_F(EngineTest, EveryFolderOfTheDriverTreeInstallsOnItsWindows) {
  // Each folder's packages carry the decorations its Windows reads: an x64 Windows takes only
  // NTamd64 models, Windows 2000 only undecorated ones.
  const std::pair<const char*, const wchar_t*> rows[] = {
      {"win2000", L"Win2K"},        {"winxp", L"WinXP"},          {"winxp-x64", L"WinXP-AMD64"},
      {"vista-x86", L"Vista\\X86"}, {"vista-x64", L"Vista\\AMD64"}, {"win7-x86", L"Win7\\Win32"},
      {"win7-x64", L"Win7\\Win64"},
  };
  for (const auto& [tmpl, folder] : rows) {
    Start(tmpl);
    const std::wstring dir = std::wstring(L"C:\\App\\Driver\\") + folder + L"\\";
    Owned port(CreateInstaller((dir + L"DrvsetupPort.inf").c_str()));
    Owned modem(CreateInstaller((dir + L"DrvsetupModem.inf").c_str()));
    bool reboot = false;
    EXPECT_TRUE(port->UpdateDriver(kMi01, &reboot)) << tmpl << " " << win::GetLastError();
    EXPECT_TRUE(modem->UpdateDriver(kMi00, &reboot)) << tmpl << " " << win::GetLastError();
    m_machine.reset();
  }
  // A folder of the other architecture does not serve: its models are not read there.
  Start("win7-x64");
  Owned port(CreateInstaller(L"C:\\App\\Driver\\Win7\\Win32\\DrvsetupPort.inf"));
  bool reboot = false;
  EXPECT_FALSE(port->UpdateDriver(kMi01, &reboot));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_ITEMS);
}

}  // namespace
