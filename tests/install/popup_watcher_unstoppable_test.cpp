// CPopupWatcher with a library that lacks StopWatchWizard. Its watches can never be stopped, so
// these cases have a program of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "components/progress_window.h"
#include "env/log.h"
#include "install/popup_watcher.h"
#include "platform/clock.h"
#include "platform/sim/windows.h"
#include "tests/support/watcher_machine.h"

namespace {

using testsupport::WatcherMachine;

const std::wstring kStopError = L"function StopWatchSignature or StopWatchWizard not difined";

TEST(UnstoppableWatcherTest, TheReleaseRaisesTheStopErrorAfterUnloading) {
  WatcherMachine machine(DRV_WATCHER_WITHOUT_STOP_WATCH_WIZARD);
  std::wstring error;
  try {
    CPopupWatcher watcher(WatcherMachine::kDirectory);
    // The watches did start: a wizard window is counted.
    sim::RaiseNewHardwareWizard(L"USB\\VID_3F7D&PID_FFF1&MI_00\\7&QXR00001&0&0000", L"Data card interface");
    win::Sleep(500);
    EXPECT_EQ(watcher.GetWizardWindowCount(), 1);
    EXPECT_EQ(machine.Frees(), 0);
  } catch (const CWideTextError& e) {
    error = e.GetText();
    // Unloaded by its owner before the error got here (the watches still hold their own references).
    EXPECT_EQ(machine.Frees(), 1);
  }
  EXPECT_EQ(error, kStopError);
}

TEST(UnstoppableWatcherTest, TheStopErrorWhileAnotherErrorLeavesGoesToTheLog) {
  WatcherMachine machine(DRV_WATCHER_WITHOUT_STOP_WATCH_WIZARD);
  const std::filesystem::path marker =
      machine.Get().DriveFolder(L'C') / "Program Files" / "Drvsetup" / "Bin" / "EnableLog.txt";
  std::ofstream(marker).put('\n');
  env_testing::ResetLog();
  std::wstring error;
  try {
    CPopupWatcher watcher(WatcherMachine::kDirectory);
    throw CWideTextError(L"the card went away");
  } catch (const CWideTextError& e) {
    error = e.GetText();
  }
  env_testing::ResetLog();
  EXPECT_EQ(error, L"the card went away");  // the first error arrives; the process lives on
  EXPECT_EQ(machine.Frees(), 1);
  const auto& debug = machine.Observed().debugOutput;
  EXPECT_TRUE(std::any_of(debug.begin(), debug.end(),
                          [](const std::wstring& line) { return line.find(kStopError) != std::wstring::npos; }));
}

}  // namespace
