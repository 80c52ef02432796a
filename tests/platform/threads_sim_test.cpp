// The simulated machine's threads and windows: one thread runs at a time, the clock moves when all
// wait, and the system windows are raised and answered as Windows does it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/handle.h"
#include "platform/sim/machine.h"
#include "platform/sim/windows.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "tests/support/desktop.h"
#include "tests/support/sim_machine.h"

namespace {

struct Ticker {
  const char* name;
  int rounds;
  win::DWORD pause;
  std::vector<std::string>* log;
  win::DWORD start;
};

win::DWORD WINCALL Tick(win::LPVOID parameter) {
  const auto* t = static_cast<Ticker*>(parameter);
  for (int i = 0; i < t->rounds; ++i) {
    t->log->push_back(std::string(t->name) + "@" + std::to_string(win::GetTickCount() - t->start));
    win::Sleep(t->pause);
  }
  return 0;
}

TEST(SimThreadsTest, ThreadsTakeTurnsOnlyWhenTheRunningOneWaitsAndTheClockMovesWhenAllWait) {
  testsupport::ScopedMachine machine("winxp");
  std::vector<std::string> log;
  const win::DWORD start = win::GetTickCount();
  Ticker a{"A", 3, 10, &log, start};
  Ticker b{"B", 2, 15, &log, start};
  const win::HANDLE ta = win::CreateThread(nullptr, 0, &Tick, &a, 0, nullptr);
  const win::HANDLE tb = win::CreateThread(nullptr, 0, &Tick, &b, 0, nullptr);
  ASSERT_NE(ta, nullptr);
  ASSERT_NE(tb, nullptr);
  EXPECT_TRUE(log.empty());  // neither runs before their creator waits
  EXPECT_EQ(win::WaitForSingleObject(ta, win::INFINITE), win::WAIT_OBJECT_0);
  EXPECT_EQ(win::WaitForSingleObject(tb, win::INFINITE), win::WAIT_OBJECT_0);
  EXPECT_EQ(log, (std::vector<std::string>{"A@0", "B@0", "A@10", "B@15", "A@20"}));
  EXPECT_EQ(win::GetTickCount() - start, 30u);  // B's last sleep ends at 30, A's at 30
  EXPECT_EQ(win::WaitForSingleObject(win::GetCurrentThread(), 25), win::WAIT_TIMEOUT);
  EXPECT_EQ(win::GetTickCount() - start, 55u);
  win::CloseHandle(ta);
  win::CloseHandle(tb);
}

// A robot on a thread of its own: finds the first top-level window with `title` and sends it
// `message`, or presses the child button with `button` as text.
struct Robot {
  std::wstring title;
  std::wstring button;  // empty: close the window
  bool found = false;
};

win::BOOL WINCALL FindChildButton(win::HWND w, win::LPARAM context) {
  auto* r = reinterpret_cast<Robot*>(context);
  wchar_t text[256] = L"";
  win::GetWindowTextW(w, text, 256);
  if (r->button != text) return win::TRUE;
  win::PostMessageW(win::GetParent(w), win::WM_COMMAND,
                    win::MakeWParam(static_cast<win::WORD>(win::GetDlgCtrlID(w)), win::BN_CLICKED),
                    reinterpret_cast<win::LPARAM>(w));
  r->found = true;
  return win::FALSE;
}

win::BOOL WINCALL FindTop(win::HWND w, win::LPARAM context) {
  auto* r = reinterpret_cast<Robot*>(context);
  wchar_t text[256] = L"";
  win::GetWindowTextW(w, text, 256);
  if (r->title != text) return win::TRUE;
  if (r->button.empty()) {
    r->found = win::PostMessageW(w, win::WM_CLOSE, 0, 0) != win::FALSE;
  } else {
    win::EnumChildWindows(w, &FindChildButton, context);
  }
  return win::FALSE;
}

win::DWORD WINCALL RunRobot(win::LPVOID parameter) {
  win::Sleep(1000);  // a user who reads first
  win::EnumWindows(&FindTop, reinterpret_cast<win::LPARAM>(parameter));
  return 0;
}

TEST(SimWindowsTest, ASignatureWarningWaitsForItsAnswer) {
  struct Row {
    const char* machine;
    const wchar_t* title;
    const wchar_t* button;  // empty: closed
    bool accepted;
  };
  const Row rows[] = {
      {"winxp", L"Hardware Installation", L"&Continue Anyway", true},
      {"winxp", L"Hardware Installation", L"&STOP Installation", false},
      {"winxp", L"Hardware Installation", L"", false},
      {"win2000", L"Digital Signature Not Found", L"&Yes", true},
      {"win2000", L"Digital Signature Not Found", L"&No", false},
      {"win7-x64", L"Windows Security", L"", false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    testsupport::ScopedMachine machine(row.machine);
    Robot robot{row.title, row.button};
    const win::HANDLE thread = win::CreateThread(nullptr, 0, &RunRobot, &robot, 0, nullptr);
    const win::DWORD start = win::GetTickCount();
    EXPECT_EQ(sim::RaiseSignatureWarning(L"C:\\Drv\\port.inf"), row.accepted) << "row " << i;
    EXPECT_TRUE(robot.found) << "row " << i;
    EXPECT_EQ(win::GetTickCount() - start, 1000u) << "row " << i;  // answered when the robot got to it
    const std::wstring title = row.title;
    EXPECT_EQ(machine.Get().Observed().windowEvents,
              (std::vector<std::wstring>{L"shown " + title + L": C:\\Drv\\port.inf",
                                         (row.accepted ? L"accepted " : L"refused ") + title}))
        << "row " << i;
    EXPECT_EQ(win::WaitForSingleObject(thread, win::INFINITE), win::WAIT_OBJECT_0);
    win::CloseHandle(thread);
  }
}

TEST(SimWindowsTest, AWarningNobodyAnswersIsRefusedWhenItsTimeIsUp) {
  testsupport::ScopedMachine machine("vista-x86");
  const win::DWORD start = win::GetTickCount();
  EXPECT_FALSE(sim::RaiseSignatureWarning(L"C:\\Drv\\modem.inf"));
  EXPECT_EQ(win::GetTickCount() - start, sim::kSignatureAnswerLimit);
  EXPECT_EQ(machine.Get().Observed().windowEvents,
            (std::vector<std::wstring>{L"shown Windows Security: C:\\Drv\\modem.inf", L"unanswered Windows Security"}));
  EXPECT_TRUE(testsupport::TopLevelWindows().empty());
}

TEST(SimWindowsTest, OnlyInterfacesWithoutADriverBringTheNewHardwareWindow) {
  testsupport::ScopedMachine machine("winxp", [](sim::Description& d) {
    sim::CardDescription card;
    card.product = 0xFFF1;
    card.startsComposite = true;
    card.interfaces = {0, 1, 2};
    d.cards = {card};
  });
  // Interface 01 had its driver installed on an earlier day.
  for (auto& device : machine.Get().MutableDesc().devices) {
    if (device.instanceId.find(L"&MI_01\\") != std::wstring::npos) device.className = L"Ports";
  }
  win::Sleep(2000);
  const std::wstring prefix = L"shown Found New Hardware Wizard: USB\\VID_3F7D&PID_FFF1&MI_";
  EXPECT_EQ(machine.Get().Observed().windowEvents,
            (std::vector<std::wstring>{prefix + L"00\\7&QXR00001&0&0000", prefix + L"02\\7&QXR00001&0&0002"}));
  // What a program sees of the top one: the wizard's dialog with its welcome page.
  const std::vector<win::HWND> tops = testsupport::TopLevelWindows();
  ASSERT_EQ(tops.size(), 2u);
  wchar_t text[64] = L"";
  EXPECT_EQ(win::GetClassNameW(tops[0], text, 64), 6);
  EXPECT_STREQ(text, L"#32770");
  EXPECT_EQ(win::GetWindowTextW(tops[0], text, 10), 9);  // cut to the buffer
  EXPECT_STREQ(text, L"Found New");
  EXPECT_EQ(win::GetParent(tops[0]), nullptr);
  EXPECT_TRUE(win::PostMessageW(tops[0], win::WM_CLOSE, 0, 0));
  EXPECT_FALSE(win::IsWindow(tops[0]));
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::GetWindowTextW(tops[0], text, 64), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(machine.Get().Observed().windowEvents.back(),
            L"closed Found New Hardware Wizard: USB\\VID_3F7D&PID_FFF1&MI_02\\7&QXR00001&0&0002");
}

}  // namespace
