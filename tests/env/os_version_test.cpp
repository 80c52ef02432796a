// Windows generation code and architecture on simulated machines of every generation.
#include <gtest/gtest.h>

#include "env/log.h"
#include "env/os_version.h"
#include "env/paths.h"
#include "platform/sim/machine.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace {

using sim::Architecture;

struct VersionCase {
  const char* what;
  win::DWORD major, minor, platformId;
  Architecture arch;
  bool nativeSystemInfo;
  int expectedCode;
  bool expected64;
};

const VersionCase kCases[] = {
    {"Windows 95", 4, 0, 1, Architecture::X86, false, 0, false},
    {"Windows NT 4.0", 4, 0, 2, Architecture::X86, false, 0, false},
    {"Windows 98", 4, 10, 1, Architecture::X86, false, 1, false},
    {"4.10 on NT", 4, 10, 2, Architecture::X86, false, 0, false},
    {"Windows Me", 4, 90, 1, Architecture::X86, false, 2, false},
    {"Windows 2000", 5, 0, 2, Architecture::X86, false, 3, false},
    {"Windows XP", 5, 1, 2, Architecture::X86, true, 4, false},
    {"Windows XP x64", 5, 2, 2, Architecture::Amd64, true, 5, true},
    {"Server 2003", 5, 2, 2, Architecture::X86, true, 5, false},
    {"Server 2003 Itanium", 5, 2, 2, Architecture::Ia64, true, 5, false},
    {"5.2 with platform 1", 5, 2, 1, Architecture::Amd64, true, 0, true},
    {"5.2 with platform 3", 5, 2, 3, Architecture::X86, true, 0, false},
    {"5.3", 5, 3, 2, Architecture::X86, true, 0, false},
    {"Vista x86", 6, 0, 2, Architecture::X86, true, 6, false},
    {"Vista x64", 6, 0, 2, Architecture::Amd64, true, 6, true},
    {"6.0 with platform 1", 6, 0, 1, Architecture::X86, true, 6, false},
    {"6.0 with platform 7", 6, 0, 7, Architecture::Amd64, true, 6, true},
    {"Windows 7 x86", 6, 1, 2, Architecture::X86, true, 7, false},
    {"Windows 7 x64", 6, 1, 2, Architecture::Amd64, true, 7, true},
    {"6.1 with platform 0", 6, 1, 0, Architecture::X86, true, 7, false},
    {"Windows 8", 6, 2, 2, Architecture::Amd64, true, 0, true},
    {"Windows 8.1", 6, 3, 2, Architecture::Amd64, true, 0, true},
    {"Windows 10", 10, 0, 2, Architecture::Amd64, true, 0, true},
    {"x64 without GetNativeSystemInfo", 5, 2, 2, Architecture::Amd64, false, 5, false},
};

TEST(OsVersionTest, GenerationCodeAndArchitectureFollowTheReportedVersion) {
  for (const VersionCase& c : kCases) {
    testsupport::ScopedMachine machine("win7-x64", [&](sim::Description& d) {
      d.os.major = c.major;
      d.os.minor = c.minor;
      d.os.platformId = c.platformId;
      d.os.architecture = c.arch;
      d.os.nativeSystemInfo = c.nativeSystemInfo;
    });
    env_testing::ResetArchitectureCache();
    EXPECT_EQ(GetOsVersionCode(), c.expectedCode) << c.what;
    EXPECT_EQ(Is64BitWindows(), c.expected64) << c.what;
  }
  env_testing::ResetArchitectureCache();
}

TEST(OsVersionTest, EveryTemplateGivesItsGeneration) {
  const struct {
    const char* name;
    int code;
    bool is64;
  } rows[] = {{"win98", 1, false},   {"winme", 2, false},     {"nt4", 0, false},       {"win2000", 3, false},
              {"winxp", 4, false},   {"winxp-x64", 5, true},  {"win2003", 5, false},   {"vista-x86", 6, false},
              {"vista-x64", 6, true}, {"win7-x86", 7, false}, {"win7-x64", 7, true},   {"win8", 0, true}};
  ASSERT_EQ(std::size(rows), sim::Templates().size());
  for (const auto& r : rows) {
    testsupport::ScopedMachine machine(r.name);
    env_testing::ResetArchitectureCache();
    EXPECT_EQ(GetOsVersionCode(), r.code) << r.name;
    EXPECT_EQ(Is64BitWindows(), r.is64) << r.name;
  }
  env_testing::ResetArchitectureCache();
}

TEST(OsVersionTest, TheArchitectureIsAskedOnceAndTheLibraryReleased) {
  testsupport::ScopedMachine machine("winxp-x64");
  env_testing::ResetArchitectureCache();
  EXPECT_TRUE(Is64BitWindows());
  EXPECT_TRUE(Is64BitWindows());
  EXPECT_EQ(machine.Get().Observed().libraryLoads[L"kernel32.dll"], 1);
  // The cache outlives a change of what Windows would answer.
  machine.Get().MutableDesc().os.architecture = Architecture::X86;
  EXPECT_TRUE(Is64BitWindows());
  EXPECT_EQ(machine.Get().Observed().libraryLoads[L"kernel32.dll"], 1);
  env_testing::ResetArchitectureCache();
}

TEST(OsVersionTest, TheGenerationCodeIsAskedOnEveryCall) {
  testsupport::ScopedMachine machine("winxp");
  EXPECT_EQ(GetOsVersionCode(), 4);
  machine.Get().MutableDesc().os.minor = 0;
  EXPECT_EQ(GetOsVersionCode(), 3);
}

TEST(LogOnSimulatedMachineTest, LinesGoToTheDebuggerAndTheFileInTheAnsiCodePage) {
  testsupport::ScopedMachine machine("win7-x86", [](sim::Description& d) {
    d.locale.ansiCodePage = 936;
    d.locale.uiLanguage = 0x0804;
  });
  env_testing::ResetLog();
  const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
  ASSERT_TRUE(testsupport::WriteFileBytes(marker, ""));
  WriteLog(L"\x627e\x5230%d\x4e2a\x65b0\x786c\x4ef6", 3);
  WriteLog(L"plain");
  env_testing::ResetLog();
  EXPECT_EQ(testsupport::ReadFileBytes(marker), "\xd5\xd2\xb5\xbd" "3\xb8\xf6\xd0\xc2\xd3\xb2\xbc\xfe\r\nplain\r\n");
  const auto& debug = machine.Get().Observed().debugOutput;
  ASSERT_EQ(debug.size(), 2u);
  EXPECT_EQ(debug[0], L"\x627e\x5230" L"3\x4e2a\x65b0\x786c\x4ef6");
  EXPECT_EQ(debug[1], L"plain");
}

TEST(LogOnSimulatedMachineTest, WithoutTheMarkerNothingReachesTheDebugger) {
  testsupport::ScopedMachine machine("winxp");
  env_testing::ResetLog();
  WriteLog(L"nothing %d", 1);
  env_testing::ResetLog();
  EXPECT_TRUE(machine.Get().Observed().debugOutput.empty());
}

}  // namespace
