// The installer objects: construction, dispatch, the language's font and the order of destruction.
#include <gtest/gtest.h>

#include "app/installer.h"
#include "env/paths.h"
#include "platform/file.h"
#include "tests/support/progress_window_double.h"
#include "tests/support/scratch.h"

namespace {

using testsupport::PanelEvents;

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PanelEvents().clear();
    const std::wstring localize = CollapseParentDirs(GetModuleDirectory() + L"..\\Localize");
    testsupport::RemoveTree(localize);
    ASSERT_TRUE(win::CreateDirectoryW(localize.c_str(), nullptr));
    m_english = localize + L"\\English.txt";
  }
  void TearDown() override { testsupport::RemoveTree(m_english.substr(0, m_english.rfind(L'\\'))); }

  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const auto& e : PanelEvents()) calls.push_back(e.call);
    return calls;
  }

  std::wstring m_english;
};

TEST_F(InstallerTest, TheInstallFlagChoosesTheSequence) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_english, "[Font]\r\nNormal=Tahoma, 8\r\n"));
  for (bool install : {true, false}) {
    PanelEvents().clear();
    {
      CUpdateInstaller installer(install);
      EXPECT_EQ(installer.IsInstall(), install);
      ProgressDlg_Excute(installer.GetProgressHandle(), &InstallerWork, &installer);
    }
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Create", "SetFont", "Excute", "Destroy"})) << install;
    // The work's result tells which sequence ran: 1 install, 2 uninstall.
    EXPECT_EQ(PanelEvents()[2].result, install ? 1 : 2);
  }
}

TEST_F(InstallerTest, TheNormalFontGoesToTheWindowAndDiesBeforeIt) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_english, "[Language]\r\nID=0409\r\n[Font]\r\nNormal=Tahoma, 8\r\n"));
  {
    CUpdateInstaller installer(false);
    ProgressDlg_Excute(installer.GetProgressHandle(), &InstallerWork, &installer);
  }
  ASSERT_EQ(PanelEvents().size(), 4u);
  const auto& setFont = PanelEvents()[1];
  ASSERT_TRUE(setFont.fontGiven);
  EXPECT_EQ(std::wstring(setFont.font.lfFaceName), L"Tahoma");
  EXPECT_LT(setFont.font.lfHeight, 0);
  // The localizer, and with it the font, is gone before the window is destroyed.
  EXPECT_FALSE(PanelEvents()[3].fontAliveAtDestroy);
}

TEST_F(InstallerTest, WithoutALanguageFileTheDefaultFontIsPassed) {
  {
    CUpdateInstaller installer(true);
    ProgressDlg_Excute(installer.GetProgressHandle(), &InstallerWork, &installer);
  }
  ASSERT_EQ(PanelEvents().size(), 4u);
  EXPECT_TRUE(PanelEvents()[1].fontGiven);  // a copy of the screen's font
}

TEST(ProgressWindowBoundaryTest, AnErrorLeavingTheWorkIsShownAndEndsTheWorkOnly) {
  PanelEvents().clear();
  struct Work {
    static int Raise(void*) { throw CWideTextError(L"PopupWatcher.dll not found or crashed"); }
    static int Fine(void*) { return 7; }
  };
  const ProgressHandle h = ProgressDlg_Create();
  EXPECT_EQ(ExecuteInProgressWindow(h, &Work::Raise, nullptr), -1);
  EXPECT_EQ(ExecuteInProgressWindow(h, &Work::Fine, nullptr), 7);
  ProgressDlg_Destroy(h);
  ASSERT_GE(PanelEvents().size(), 2u);
  EXPECT_EQ(PanelEvents()[1].call, "MessageBox");
  EXPECT_EQ(PanelEvents()[1].text, L"PopupWatcher.dll not found or crashed");
  EXPECT_EQ(PanelEvents()[1].style, MB_ICONERROR);
}

}  // namespace
