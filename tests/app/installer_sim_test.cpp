// The installer objects on simulated machines: the user's language picks the font.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/installer.h"
#include "tests/support/progress_window_double.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

TEST(InstallerOnMachineTest, TheUsersLanguageChoosesTheFontGivenToTheWindow) {
  const struct {
    win::WORD ui;
    const char* file;
    const char* content;
    const wchar_t* face;
    win::LONG height;
  } cases[] = {
      {0x0409, "English.txt", "[Font]\r\nNormal=Tahoma, 8\r\n", L"Tahoma", -11},
      {0x0804, "ChineseSimplified.txt", "[Font]\r\nNormal=SimSun, 9\r\n", L"SimSun", -12},
      // A language without a Normal font: the default font, a copy of the screen's.
      {0x0419, "Russian.txt", "[Text]\r\nA=1\r\n", L"System", 16},
  };
  for (const auto& c : cases) {
    testsupport::ScopedMachine machine("win7-x86", [&](sim::Description& d) {
      d.locale.uiLanguage = c.ui;
      d.process.image = L"C:\\Card\\Bin\\Drvsetup.exe";
      d.process.currentDirectory.clear();
    });
    const fs::path localize = machine.Folder() / "drive_c" / "Card" / "Localize";
    fs::create_directories(localize);
    std::ofstream(localize / "English.txt") << "[Font]\r\nNormal=Tahoma, 8\r\n";
    std::ofstream(localize / c.file) << c.content;
    testsupport::PanelEvents().clear();
    {
      CUpdateInstaller installer(true);
      ProgressDlg_Excute(installer.GetProgressHandle(), &InstallerWork, &installer);
    }
    ASSERT_EQ(testsupport::PanelEvents().size(), 4u) << c.file;
    const auto& setFont = testsupport::PanelEvents()[1];
    EXPECT_EQ(std::wstring(setFont.font.lfFaceName), c.face) << c.file;
    EXPECT_EQ(setFont.font.lfHeight, c.height) << c.file;
  }
}

}  // namespace
