// CPopupWatcher on the simulated machine: the real watcher library, builds of it that lack one
// export, and none at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "components/progress_window.h"
#include "install/popup_watcher.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/module.h"
#include "platform/sim/windows.h"
#include "platform/thread.h"
#include "tests/support/watcher_machine.h"

namespace {

using testsupport::WatcherMachine;

const std::wstring kLibraryError = L"PopupWatcher.dll not found or crashed";

TEST(PopupWatcherTest, ALibraryThatCannotServeFailsTheConstructionAndIsUnloaded) {
  struct Row {
    const char* what;
    const char* library;  // null: no file
    int loads;
  };
  const Row rows[] = {
      {"no library in the folder", nullptr, 0},
      {"a file that is no library", __FILE__, 0},
      // Its watches would hold references of their own: one load shows nothing was started.
      {"a library without SignatureHandle", DRV_WATCHER_WITHOUT_SIGNATURE_HANDLE, 1},
  };
  for (const Row& row : rows) {
    WatcherMachine machine(row.library);
    win::SetThreadPriority(win::GetCurrentThread(), win::THREAD_PRIORITY_NORMAL);
    std::wstring error;
    try {
      CPopupWatcher watcher(WatcherMachine::kDirectory);
      ADD_FAILURE() << row.what << ": constructed";
    } catch (const CWideTextError& e) {
      error = e.GetText();
    }
    EXPECT_EQ(error, kLibraryError) << row.what;
    EXPECT_EQ(machine.Loads(), row.loads) << row.what;
    EXPECT_EQ(machine.Frees(), row.loads) << row.what;
    EXPECT_EQ(win::GetThreadPriority(win::GetCurrentThread()), win::THREAD_PRIORITY_NORMAL) << row.what;
  }
}

TEST(PopupWatcherTest, TheWizardThreadRunsTimeCriticalAndTheCallerBelowNormal) {
  WatcherMachine machine(DRV_WATCHER);
  win::SetThreadPriority(win::GetCurrentThread(), win::THREAD_PRIORITY_NORMAL);
  std::optional<CPopupWatcher> watcher(std::in_place, WatcherMachine::kDirectory);
  EXPECT_EQ(win::GetThreadPriority(win::GetCurrentThread()), win::THREAD_PRIORITY_BELOW_NORMAL);
  const win::HMODULE library = win::GetModuleHandleW(L"PopupWatcher.dll");
  ASSERT_NE(library, nullptr);
  const auto wizardThread = reinterpret_cast<win::HANDLE (*)()>(win::GetProcAddress(library, "WizardThreadHandle"));
  ASSERT_NE(wizardThread, nullptr);
  EXPECT_EQ(win::GetThreadPriority(wizardThread()), win::THREAD_PRIORITY_TIME_CRITICAL);
  win::Sleep(500);  // the watches run meanwhile
  const win::DWORD stopping = win::GetTickCount();
  watcher.reset();
  // The watches ended at once (not at their next look), and gave their references up; the
  // library is gone.
  EXPECT_EQ(win::GetTickCount() - stopping, 0u);
  EXPECT_EQ(machine.Loads(), machine.Frees());
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::GetModuleHandleW(L"PopupWatcher.dll"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(win::GetThreadPriority(win::GetCurrentThread()), win::THREAD_PRIORITY_BELOW_NORMAL);  // not restored
}

TEST(PopupWatcherTest, WithoutWizardWindowCountEveryCountIsZero) {
  WatcherMachine machine(DRV_WATCHER_WITHOUT_WIZARD_WINDOW_COUNT);
  {
    CPopupWatcher watcher(WatcherMachine::kDirectory);
    EXPECT_EQ(watcher.GetWizardWindowCount(), 0);
    sim::RaiseNewHardwareWizard(L"USB\\VID_3F7D&PID_FFF1&MI_00\\7&QXR00001&0&0000", L"Data card interface");
    win::Sleep(500);
    EXPECT_EQ(watcher.GetWizardWindowCount(), 0);
  }
  // The watch itself saw the window and closed it.
  EXPECT_EQ(machine.Observed().windowEvents.back(),
            L"closed Found New Hardware Wizard: USB\\VID_3F7D&PID_FFF1&MI_00\\7&QXR00001&0&0000");
  EXPECT_EQ(machine.Loads(), machine.Frees());
}

}  // namespace
