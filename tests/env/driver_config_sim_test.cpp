// The driver configuration on simulated machines of every generation and architecture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "env/driver_config.h"
#include "env/os_version.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

// Every section names its own files, so a test sees which section was read.
constexpr char kConfig[] =
    "[Driver_Win2k]\r\nModem=2k\\m.inf\r\nPort=2k\\p.inf\r\n"
    "[Driver_WinXP]\r\nModem=xp\\m.inf\r\nPort=xp\\p.inf\r\n"
    "[driver_vista]\r\nMODEM=vista\\m.inf\r\nport=vista\\p.inf\r\n"
    "[Driver_Win7]\r\nModem=..\\Shared\\m.inf\r\nPort=7\\p.inf\r\n";

void WriteHostFile(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

// A machine with the program in C:\App\Bin and the configuration in C:\App\config.
struct AppMachine {
  explicit AppMachine(const std::string& tmpl, const std::string& config = kConfig,
                      const wchar_t* currentDirectory = L"C:\\App\\Bin")
      : machine(tmpl, [&](sim::Description& d) {
          d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
          d.process.currentDirectory = currentDirectory;
        }) {
    env_testing::ResetArchitectureCache();
    if (!config.empty()) WriteHostFile(machine.Folder() / "drive_c" / "App" / "config" / "driver.ini", config);
  }
  ~AppMachine() { env_testing::ResetArchitectureCache(); }
  testsupport::ScopedMachine machine;
};

TEST(DriverConfigTest, EachGenerationAndArchitectureHasItsDirectoryAndSection) {
  struct Case {
    const char* tmpl;
    const wchar_t* directory;
    const wchar_t* modem;
    const wchar_t* port;
  };
  const Case cases[] = {
      {"win98", L"C:\\App\\Driver\\Win2K\\", L"2k\\m.inf", L"2k\\p.inf"},
      {"winme", L"C:\\App\\Driver\\Win2K\\", L"2k\\m.inf", L"2k\\p.inf"},
      {"nt4", L"C:\\App\\Driver\\Win2K\\", L"2k\\m.inf", L"2k\\p.inf"},
      {"win2000", L"C:\\App\\Driver\\Win2K\\", L"2k\\m.inf", L"2k\\p.inf"},
      {"winxp", L"C:\\App\\Driver\\WinXP\\", L"xp\\m.inf", L"xp\\p.inf"},
      {"win2003", L"C:\\App\\Driver\\WinXP\\", L"xp\\m.inf", L"xp\\p.inf"},
      {"winxp-x64", L"C:\\App\\Driver\\WinXP-AMD64\\", L"xp\\m.inf", L"xp\\p.inf"},
      {"vista-x86", L"C:\\App\\Driver\\Vista\\X86\\", L"vista\\m.inf", L"vista\\p.inf"},
      {"vista-x64", L"C:\\App\\Driver\\Vista\\AMD64\\", L"vista\\m.inf", L"vista\\p.inf"},
      {"win7-x86", L"C:\\App\\Driver\\Win7\\Win32\\", L"..\\Shared\\m.inf", L"7\\p.inf"},
      {"win7-x64", L"C:\\App\\Driver\\Win7\\Win64\\", L"..\\Shared\\m.inf", L"7\\p.inf"},
      // Windows 8 and later are code 0: the Windows 2000 entries, on 64-bit Windows as well.
      {"win8", L"C:\\App\\Driver\\Win2K\\", L"2k\\m.inf", L"2k\\p.inf"},
  };
  for (const Case& c : cases) {
    AppMachine m(c.tmpl);
    EXPECT_EQ(GetDriverDirectory(), c.directory) << c.tmpl;
    // The entry is appended as it stands, "..\" included: only the driver tree is collapsed.
    EXPECT_EQ(GetModemPackagePath(), std::wstring(c.directory) + c.modem) << c.tmpl;
    EXPECT_EQ(GetPortPackagePath(), std::wstring(c.directory) + c.port) << c.tmpl;
  }
}

TEST(DriverConfigTest, AMissingFileSectionKeyOrValueLeavesTheBareDirectory) {
  struct Case {
    const char* what;
    std::string config;
  };
  const Case cases[] = {
      {"no file", ""},
      {"no section", "[Driver_WinXP]\r\nModem=xp.inf\r\nPort=xp.inf\r\n"},
      {"no key", "[Driver_Win7]\r\nModem=m.inf\r\n"},
      {"empty value", "[Driver_Win7]\r\nModem=m.inf\r\nPort=\r\n"},
  };
  for (const Case& c : cases) {
    AppMachine m("win7-x64", c.config);
    EXPECT_EQ(GetPortPackagePath(), L"C:\\App\\Driver\\Win7\\Win64\\") << c.what;
    EXPECT_EQ(ReadDriverEntry(L"Port"), L"") << c.what;
  }
}

TEST(DriverConfigTest, TheFileIsFoundFromTheCurrentDirectoryTheTreeFromTheProgram) {
  // Started from C:\Work\Here, the program reads C:\Work\config\driver.ini, while its packages
  // stay beside its own folder.
  AppMachine m("winxp", "", L"C:\\Work\\Here");
  fs::create_directories(m.machine.Folder() / "drive_c" / "Work" / "Here");
  WriteHostFile(m.machine.Folder() / "drive_c" / "Work" / "config" / "driver.ini",
                "[Driver_WinXP]\r\nModem=other.inf\r\n");
  EXPECT_EQ(GetModemPackagePath(), L"C:\\App\\Driver\\WinXP\\other.inf");
}

TEST(DriverConfigTest, TheFileIsReadAfreshOnEveryCall) {
  AppMachine m("winxp");
  EXPECT_EQ(ReadDriverEntry(L"Modem"), L"xp\\m.inf");
  WriteHostFile(m.machine.Folder() / "drive_c" / "App" / "config" / "driver.ini", "[Driver_WinXP]\r\nModem=new.inf\r\n");
  EXPECT_EQ(ReadDriverEntry(L"Modem"), L"new.inf");
}

}  // namespace
