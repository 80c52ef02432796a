// The shipped driver packages: every folder's modem and port package reads completely, and the two
// serve exactly the card interfaces of the interface table, each interface by the right one.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "install/interface_table.h"
#include "siblings/DevSetupEngine/package.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

std::set<std::wstring> Upper(const std::vector<std::wstring>& ids) {
  std::set<std::wstring> out;
  for (std::wstring id : ids) {
    for (auto& c : id) c = static_cast<wchar_t>(std::towupper(c));
    out.insert(id);
  }
  return out;
}

TEST(ShippedPackagesTest, ModemAndPortPackagesServeExactlyTheTablesInterfaces) {
  std::set<std::wstring> modemRows, portRows;
  for (const InterfaceTableRow& row : kInterfaceTable) {
    (row.installer == InterfaceInstaller::Modem ? modemRows : portRows).insert(row.hardwareId);
  }
  ASSERT_EQ(modemRows.size() + portRows.size(), kInterfaceTableSize);  // no ID twice in the table

  testsupport::ScopedMachine machine("win7-x64", [](sim::Description& d) {
    d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
    d.process.currentDirectory.clear();
  });
  fs::copy(DRV_PRODUCT_DIR "/Driver", machine.Folder() / "drive_c" / "App" / "Driver", fs::copy_options::recursive);
  for (const wchar_t* folder : {L"Win2K", L"WinXP", L"WinXP-AMD64", L"Vista\\X86", L"Vista\\AMD64", L"Win7\\Win32",
                                L"Win7\\Win64"}) {
    const std::wstring dir = std::wstring(L"C:\\App\\Driver\\") + folder + L"\\";
    engine::DriverPackage modem, port;
    ASSERT_TRUE(engine::ReadDriverPackage(dir + L"DrvsetupModem.inf", modem)) << testsupport::Narrow(dir);
    ASSERT_TRUE(engine::ReadDriverPackage(dir + L"DrvsetupPort.inf", port)) << testsupport::Narrow(dir);
    EXPECT_EQ(Upper(modem.hardwareIds), modemRows) << testsupport::Narrow(dir);
    EXPECT_EQ(Upper(port.hardwareIds), portRows) << testsupport::Narrow(dir);
  }
}

}  // namespace
