// The simulated machine: its description file, faults in it, templates, the clock and persistence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/module.h"
#include "platform/sim/machine.h"
#include "platform/version.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

const char* const kMinimal =
    "[machine]\nformat = 1\n"
    "[os]\nmajor = 5\nminor = 1\nplatform_id = 2\narchitecture = x86\n"
    "[process]\nimage = C:\\App\\Bin\\Drvsetup.exe\n"
    "[drive C]\nfolder = drive_c\n";

TEST(DescriptionTest, AMinimalDescriptionTakesTheDocumentedDefaults) {
  const sim::Description d = sim::ParseDescription(kMinimal, "m.txt");
  EXPECT_EQ(d.os.major, 5u);
  EXPECT_EQ(d.os.minor, 1u);
  EXPECT_EQ(d.os.architecture, sim::Architecture::X86);
  EXPECT_TRUE(d.os.nativeSystemInfo);
  EXPECT_EQ(d.locale.uiLanguage, 0x0409);
  EXPECT_EQ(d.locale.ansiCodePage, 1252u);
  EXPECT_TRUE(d.clock.virtualTime);
  EXPECT_EQ(d.process.image, L"C:\\App\\Bin\\Drvsetup.exe");
  EXPECT_EQ(d.drives.at(L'C'), "drive_c");
}

TEST(DescriptionTest, EveryTemplateSurvivesFormatAndParse) {
  for (const auto& t : sim::Templates()) {
    const sim::Description back = sim::ParseDescription(sim::FormatDescription(t.description), t.name);
    EXPECT_EQ(sim::FormatDescription(back), sim::FormatDescription(t.description)) << t.name;
    EXPECT_EQ(back.os.servicePack, t.description.os.servicePack) << t.name;
  }
}

TEST(DescriptionTest, FaultsNameTheLineAndWhatIsWrong) {
  const std::string base = kMinimal;
  struct Case {
    std::string text;
    int line;
    const char* fault;
  } const cases[] = {
      {"", 0, "no section [machine]"},
      {base + "[dvice X]\n", 12, "unknown section [dvice X]"},
      {base + "[os]\n", 12, "section [os] appears twice"},
      {"[machine]\nformat = 2\n", 2, "format 2 is not supported"},
      {"[machine]\nformat = one\n", 2, "'format' is not a number"},
      {"format = 1\n", 1, "stands before any section"},
      {"[machine]\nformat = 1\nformt = 1\n", 3, "unknown key 'formt' in section [machine]"},
      {"[machine]\nformat = 1\nformat = 1\n", 3, "appears twice"},
      {"[machine]\nformat = 1\njust words\n", 3, "expected a section [name] or a line key = value"},
      {"[machine\n", 1, "must end with ]"},
      {"[machine]\nformat = 1\n[os]\nmajor = 5\n", 3, "lacks the key 'architecture'"},
      {base + "[clock]\nmode = fast\n", 13, "'mode' must be virtual or real"},
      {base + "[clock]\ntick = 4294967296\n", 13, "out of range"},
      {base + "[clock]\ntick = -1\n", 13, "is not a number"},
      {base + "[locale]\nui_language = 10000\n", 13, "out of range"},
      {base + "[drive D]\nfolder = ../outside\n", 13, "inside the machine folder"},
      {base + "[drive]\nfolder = d\n", 12, "needs a name"},
      {base + "[drive CD]\nfolder = d\n", 12, "written [drive C]"},
      {std::string(kMinimal).replace(base.find("architecture = x86"), 18, "architecture = arm"), 7,
       "'architecture' must be x86, amd64 or ia64"},
      {std::string(kMinimal).replace(base.find("C:\\App"), 6, "App"), 9, "must be a full Windows path"},
      {std::string(kMinimal).replace(base.find("[drive C]"), 9, "[drive D]"), 0, "drive C: has no [drive] section"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    try {
      sim::ParseDescription(cases[i].text, "bad.txt");
      ADD_FAILURE() << "row " << i << " was accepted";
    } catch (const sim::MachineError& e) {
      EXPECT_EQ(e.File(), "bad.txt") << "row " << i;
      EXPECT_EQ(e.Line(), cases[i].line) << "row " << i << ": " << e.what();
      EXPECT_NE(e.Fault().find(cases[i].fault), std::string::npos) << "row " << i << ": " << e.what();
    }
  }
}

TEST(DescriptionTest, CommentsBlankLinesAndCaseOfNamesAreFree) {
  const sim::Description d = sim::ParseDescription(
      "# a machine\n\n[Machine]\nFormat = 1\n  # indented comment\n[OS]\nMAJOR=6\nminor= 0\nplatform_id =2\n"
      "architecture = AMD64\nnative_system_info = No\n[process]\nimage = C:\\App\\Bin\\Drvsetup.exe\n[drive c]\nfolder = c\n",
      "m.txt");
  EXPECT_EQ(d.os.major, 6u);
  EXPECT_EQ(d.os.architecture, sim::Architecture::Amd64);
  EXPECT_FALSE(d.os.nativeSystemInfo);
  EXPECT_EQ(d.drives.count(L'C'), 1u);
}

TEST(MachineFolderTest, OpenReportsMissingAndBrokenFolders) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-open");
  EXPECT_THROW(sim::Machine::Open(root / "absent"), sim::MachineError);
  EXPECT_THROW(sim::Machine::Open(root), sim::MachineError);  // no description
  fs::create_directory(root / sim::kDescriptionFileName);
  try {
    sim::Machine::Open(root);
    ADD_FAILURE() << "a folder in place of the description was accepted";
  } catch (const sim::MachineError& e) {
    EXPECT_NE(std::string(e.what()).find("is a folder"), std::string::npos) << e.what();
  }
  fs::remove(root / sim::kDescriptionFileName);
  std::ofstream(root / sim::kDescriptionFileName) << kMinimal;
  try {
    sim::Machine::Open(root);
    ADD_FAILURE() << "a missing drive folder was accepted";
  } catch (const sim::MachineError& e) {
    EXPECT_NE(std::string(e.what()).find("drive_c"), std::string::npos) << e.what();
  }
  fs::create_directory(root / "drive_c");
  EXPECT_NO_THROW(sim::Machine::Open(root));
  fs::remove_all(root);
}

TEST(MachineFolderTest, AFaultyNamedMachineStopsTheProgramWithOneMessage) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-faulty");
  std::ofstream(root / sim::kDescriptionFileName) << "[machine]\nformat = 1\nspeed = fast\n";
  EXPECT_EXIT(
      {
        sim::Install(nullptr);
        setenv(sim::kMachineVariable, root.c_str(), 1);
        win::GetTickCount();
      },
      ::testing::ExitedWithCode(3), "machine.txt, line 3: unknown key 'speed' in section \\[machine\\]");
  fs::remove_all(root);
}

TEST(MachineFolderTest, SavedStateIsWhatTheNextRunSees) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-save");
  {
    auto m = sim::CreateFromTemplate(root / "m", *sim::FindTemplate("vista-x86"), false);
    m->MutableDesc().locale.uiLanguage = 0x0804;
    m->Save();
  }
  auto again = sim::Machine::Open(root / "m");
  EXPECT_EQ(again->Desc().locale.uiLanguage, 0x0804);
  EXPECT_EQ(again->Desc().os.major, 6u);
  EXPECT_TRUE(fs::is_directory(root / "m" / "drive_c"));
  fs::remove_all(root);
}

TEST(VirtualClockTest, SleepAdvancesTheTickAtOnceAndTheTickWraps) {
  testsupport::ScopedMachine machine("win7-x64", [](sim::Description& d) { d.clock.tick = 0xFFFFFF00u; });
  EXPECT_EQ(win::GetTickCount(), 0xFFFFFF00u);
  EXPECT_EQ(win::GetTickCount(), 0xFFFFFF00u);  // virtual time stands still between calls
  win::Sleep(0x100);
  EXPECT_EQ(win::GetTickCount(), 0u);
  const win::DWORD start = win::GetTickCount();
  for (int i = 0; i < 600; ++i) win::Sleep(200);  // two minutes of waiting
  EXPECT_EQ(win::GetTickCount() - start, 120000u);
}

TEST(SimulatedSystemTest, WindowsBeforeXpHasNoGetNativeSystemInfo) {
  testsupport::ScopedMachine machine("win2000");
  const win::HMODULE kernel = win::LoadLibraryW(L"KERNEL32.DLL");
  ASSERT_NE(kernel, nullptr);
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::GetProcAddress(kernel, "GetNativeSystemInfo"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(win::FreeLibrary(kernel));
  win::SetLastError(0xDEADBEEF);
  EXPECT_FALSE(win::FreeLibrary(kernel));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  EXPECT_EQ(machine.Get().Observed().libraryLoads[L"kernel32.dll"], 1);
}

TEST(SimulatedSystemTest, VersionAndProgramPathComeFromTheDescription) {
  testsupport::ScopedMachine machine("winxp-x64", [](sim::Description& d) {
    d.process.image = L"C:\\Programme\\Karte\\Bin\\Drvsetup.exe";
  });
  win::OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(win::GetVersionExW(&info));
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 2u);
  EXPECT_EQ(info.dwBuildNumber, 3790u);
  EXPECT_EQ(std::wstring(info.szCSDVersion), L"Service Pack 2");
  wchar_t path[1024] = {};
  win::GetModuleFileNameW(nullptr, path, 1024);
  EXPECT_EQ(std::wstring(path), L"C:\\Programme\\Karte\\Bin\\Drvsetup.exe");
}

TEST(SimulatedSystemTest, FileNamesMatchHostEntriesWithoutRegardToCase) {
  testsupport::ScopedMachine machine("win7-x64");
  const fs::path host = machine.Folder() / "drive_c" / "Windows" / "System32";
  fs::create_directories(host);
  std::ofstream(host / "Drivers.INI") << "x";
  EXPECT_EQ(testsupport::ReadFileBytes(L"c:\\windows\\SYSTEM32\\drivers.ini"), "x");
  EXPECT_EQ(testsupport::ReadFileBytes(L"C:/Windows/System32/../System32/./Drivers.ini"), "x");
  win::WIN32_FIND_DATAW data;
  const win::HANDLE search = win::FindFirstFileW(L"C:\\WINDOWS\\system32\\*.ini", &data);
  ASSERT_NE(search, win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::wstring(data.cFileName), L"Drivers.INI");
  win::FindClose(search);
  // Root directories list no "." and "..".
  const win::HANDLE root = win::FindFirstFileW(L"C:\\*", &data);
  ASSERT_NE(root, win::INVALID_HANDLE_VALUE);
  EXPECT_NE(std::wstring(data.cFileName), L".");
  win::FindClose(root);
}

}  // namespace
