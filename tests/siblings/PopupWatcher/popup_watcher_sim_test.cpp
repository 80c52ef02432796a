// The watcher library on the simulated machine, driven the way the program drives it: new-hardware
// windows of a card's interfaces, the warnings of each Windows generation, and bystanders it must
// leave alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/popup_watcher.h"
#include "platform/clock.h"
#include "platform/sim/windows.h"
#include "platform/window.h"
#include "tests/support/desktop.h"
#include "tests/support/watcher_machine.h"

namespace {

using testsupport::TopLevelWindows;
using testsupport::WatcherMachine;

TEST(PopupWatcherLibraryTest, EachInterfaceOfACardBringsOneWizardWindowWhichIsCountedAndClosed) {
  WatcherMachine machine(DRV_WATCHER, "winxp", [](sim::Description& d) {
    sim::CardDescription card;
    card.product = 0xFFFE;
    card.startsComposite = true;
    card.interfaces = {0, 1, 2};
    d.cards = {card};
  });
  CPopupWatcher watcher(WatcherMachine::kDirectory);
  win::Sleep(2000);
  EXPECT_EQ(watcher.GetWizardWindowCount(), 3);
  const std::wstring device = L"Found New Hardware Wizard: USB\\VID_3F7D&PID_FFFE&MI_0";
  EXPECT_EQ(machine.Observed().windowEvents,
            (std::vector<std::wstring>{
                L"shown " + device + L"0\\7&QXR00001&0&0000", L"closed " + device + L"0\\7&QXR00001&0&0000",
                L"shown " + device + L"1\\7&QXR00001&0&0001", L"closed " + device + L"1\\7&QXR00001&0&0001",
                L"shown " + device + L"2\\7&QXR00001&0&0002", L"closed " + device + L"2\\7&QXR00001&0&0002"}));
  EXPECT_TRUE(TopLevelWindows().empty());
  win::Sleep(2000);
  EXPECT_EQ(watcher.GetWizardWindowCount(), 3);  // each window once
}

TEST(PopupWatcherLibraryTest, TheWindowsOfEachGenerationAreFoundClosedAndAccepted) {
  struct Row {
    const char* machine;
    const wchar_t* wizard;
    const wchar_t* warning;
  };
  const Row rows[] = {
      {"win2000", L"Found New Hardware Wizard", L"Digital Signature Not Found"},
      {"winxp", L"Found New Hardware Wizard", L"Hardware Installation"},
      {"win2003", L"Found New Hardware Wizard", L"Hardware Installation"},
      {"vista-x86", L"Found New Hardware", L"Windows Security"},
      {"win7-x64", L"Driver Software Installation", L"Windows Security"},
  };
  for (const Row& row : rows) {
    WatcherMachine machine(DRV_WATCHER, row.machine);
    CPopupWatcher watcher(WatcherMachine::kDirectory);
    sim::RaiseNewHardwareWizard(L"USB\\VID_05C6&PID_6000&MI_01\\7&QXR00001&0&0001", L"Data card port");
    const win::DWORD start = win::GetTickCount();
    EXPECT_TRUE(sim::RaiseSignatureWarning(L"C:\\Driver\\port.inf")) << row.machine;
    EXPECT_LT(win::GetTickCount() - start, 1000u) << row.machine;  // well before nobody would have answered
    EXPECT_EQ(watcher.GetWizardWindowCount(), 1) << row.machine;
    const std::wstring wizard = std::wstring(row.wizard) + L": USB\\VID_05C6&PID_6000&MI_01\\7&QXR00001&0&0001";
    EXPECT_EQ(machine.Observed().windowEvents,
              (std::vector<std::wstring>{L"shown " + wizard,
                                         L"shown " + std::wstring(row.warning) + L": C:\\Driver\\port.inf",
                                         L"closed " + wizard, L"accepted " + std::wstring(row.warning)}))
        << row.machine;
  }
}

TEST(PopupWatcherLibraryTest, WindowsThatOnlyLookSimilarAreLeftAlone) {
  WatcherMachine machine(DRV_WATCHER, "winxp");
  const std::vector<win::HWND> bystanders = {
      // The wizard's title without its welcome page.
      sim::ShowOtherWindow(L"#32770", L"Found New Hardware Wizard", {{L"Static", L"Completing the wizard", 0}}),
      // The wizard's title and text on a window that is no dialog.
      sim::ShowOtherWindow(L"Notepad", L"Found New Hardware Wizard",
                           {{L"Edit", L"Welcome to the Found New Hardware Wizard", 15}}),
      // A warning's title whose "Continue Anyway" is no button.
      sim::ShowOtherWindow(L"#32770", L"Hardware Installation", {{L"Static", L"&Continue Anyway", 0}}),
      // A warning's button under another title.
      sim::ShowOtherWindow(L"#32770", L"Setup", {{L"Button", L"&Continue Anyway", 1}}),
      // A title that only begins like the Vista wizard's.
      sim::ShowOtherWindow(L"#32770", L"Found New Hardware Wizard - Help",
                           {{L"Static", L"Welcome to the Found New Hardware Wizard", 0}}),
  };
  {
    CPopupWatcher watcher(WatcherMachine::kDirectory);
    win::Sleep(1000);
    EXPECT_EQ(watcher.GetWizardWindowCount(), 0);
  }
  for (std::size_t i = 0; i < bystanders.size(); ++i) EXPECT_TRUE(win::IsWindow(bystanders[i])) << "bystander " << i;
  EXPECT_TRUE(machine.Observed().windowEvents.empty());
}

}  // namespace
