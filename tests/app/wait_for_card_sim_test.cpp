// Waiting for a card on the virtual clock: the prompt, the switch command, the two-minute limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <array>
#include <fstream>
#include <functional>

#include "app/installer.h"
#include "device/cdrom_switch.h"
#include "platform/clock.h"
#include "tests/support/progress_window_double.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

struct WaitResult {
  bool result = false;
  win::DWORD elapsed = 0;
  bool prompted = false;
  std::vector<sim::Record::IoRequest> requests;
  std::vector<std::string> events;
};

WaitResult Wait(const std::string& tmpl, const std::function<void(sim::Description&)>& adjust) {
  testsupport::ScopedMachine machine(tmpl, [&](sim::Description& d) {
    d.process.image = L"C:\\Card\\Bin\\Drvsetup.exe";
    d.process.currentDirectory.clear();
    if (adjust) adjust(d);
  });
  const fs::path localize = machine.Folder() / "drive_c" / "Card" / "Localize";
  fs::create_directories(localize);
  std::ofstream(localize / "English.txt") << "[Text-Setup]\r\nPlugAlert=Plug the card in\r\n";
  testsupport::PanelEvents().clear();
  WaitResult w;
  {
    CUpdateInstaller installer(true);
    installer.LoadLanguage(L"C:\\Card\\Localize\\English.txt");
    const win::DWORD start = win::GetTickCount();
    w.result = installer.WaitForCard();
    w.elapsed = win::GetTickCount() - start;
  }
  for (const auto& e : testsupport::PanelEvents()) {
    if (e.call == "SetMessage") w.prompted = e.text == L"Plug the card in";
  }
  w.requests = machine.Get().Observed().ioRequests;
  w.events = machine.Get().Observed().cardEvents;
  return w;
}

sim::CardDescription Card(win::WORD product, bool composite = false, std::uint64_t pluggedAt = 0) {
  sim::CardDescription c;
  c.product = product;
  c.startsComposite = composite;
  c.pluggedAt = pluggedAt;
  c.switchDelay = 500;
  return c;
}

TEST(WaitForCardTest, ACardAlreadySwitchedIsFoundAtOnceAfterThePrompt) {
  const WaitResult w = Wait("win7-x64", [](sim::Description& d) { d.cards = {Card(0xFFF1, true)}; });
  EXPECT_TRUE(w.result);
  EXPECT_TRUE(w.prompted);
  EXPECT_TRUE(w.requests.empty());
  EXPECT_EQ(w.elapsed, 0u);
}

TEST(WaitForCardTest, ACardInItsCdromFormGetsTheCommandAndSwitches) {
  const WaitResult w = Wait("winxp", [](sim::Description& d) { d.cards = {Card(0xFFFE)}; });
  EXPECT_TRUE(w.result);
  EXPECT_FALSE(w.prompted);
  ASSERT_EQ(w.requests.size(), 1u);
  EXPECT_EQ(w.requests[0].bytes[28], 0x9F);
  EXPECT_EQ(w.requests[0].bytes[29], 0x01);
  EXPECT_EQ(w.elapsed, 1000u);  // the pause after the command, then the composite test passes
}

TEST(WaitForCardTest, NoCardForTwoMinutesGivesFalse) {
  const WaitResult w = Wait("win7-x64", {});
  EXPECT_FALSE(w.result);
  EXPECT_TRUE(w.prompted);
  EXPECT_GT(w.elapsed, 120000u);
  EXPECT_LE(w.elapsed, 120200u);
}

TEST(WaitForCardTest, TheLimitHoldsWhenTheTickCountWraps) {
  const WaitResult w = Wait("win7-x64", [](sim::Description& d) { d.clock.tick = 0xFFFFFFFFu - 50000u; });
  EXPECT_FALSE(w.result);
  EXPECT_GT(w.elapsed, 120000u);
  EXPECT_LE(w.elapsed, 120200u);
}

TEST(WaitForCardTest, ACardPluggedInDuringTheWait) {
  const WaitResult w = Wait("vista-x64", [](sim::Description& d) { d.cards = {Card(0xFFF7, false, 30000)}; });
  EXPECT_TRUE(w.result);
  EXPECT_TRUE(w.prompted);
  ASSERT_EQ(w.requests.size(), 1u);
  EXPECT_EQ(w.requests[0].bytes[29], 0x03);
  EXPECT_GE(w.elapsed, 31000u);
  EXPECT_LT(w.elapsed, 32000u);
}

TEST(WaitForCardTest, EveryListedModelSwitchesWithTheBytesOfItsWindows) {
  const struct {
    win::WORD vendor, product;
  } models[] = {{0x05C6, 0x3197}, {0x05C6, 0x6000}, {0x3F7D, 0xFFFE}, {0x3F7D, 0xFFFD}, {0x3F7D, 0xFFFF},
                {0x3F7D, 0xFFFA}, {0x3F7D, 0xFFF9}, {0x3F7D, 0xFFF8}, {0x3F7D, 0xFFF7}, {0x3F7D, 0xFFF6},
                {0x3F7D, 0xFFF1}, {0x3F7D, 0xFFFC}};
  const struct {
    const char* tmpl;
    win::BYTE b1, b2;
  } systems[] = {{"win2000", 2, 2}, {"winxp", 1, 0}, {"win2003", 0, 0}, {"vista-x86", 3, 0}, {"win7-x64", 3, 0}};
  for (const auto& sys : systems) {
    for (const auto& m : models) {
      const WaitResult w = Wait(sys.tmpl, [&](sim::Description& d) {
        sim::CardDescription c = Card(m.product);
        c.vendor = m.vendor;
        d.cards = {c};
      });
      EXPECT_TRUE(w.result) << sys.tmpl << " " << std::hex << m.product;
      ASSERT_EQ(w.requests.size(), 1u) << sys.tmpl << " " << std::hex << m.product;
      const PassThroughBlock expected = BuildPassThroughBlock(std::array<win::BYTE, 3>{0x9F, sys.b1, sys.b2}.data(), 3);
      EXPECT_TRUE(std::equal(w.requests[0].bytes.begin(), w.requests[0].bytes.end(), expected.begin()))
          << sys.tmpl << " " << std::hex << m.product;
      ASSERT_FALSE(w.events.empty());
      EXPECT_NE(w.events.back().find("switched"), std::string::npos) << w.events.back();
    }
  }
}

TEST(WaitForCardTest, CardsThatDoNotSwitch) {
  // One that only takes the Vista and 7 bytes, on XP; one that ignores every command.
  for (const auto& adjust : std::vector<std::function<void(sim::CardDescription&)>>{
           [](sim::CardDescription& c) { c.accepts = {"9F0300"}; },
           [](sim::CardDescription& c) { c.ignoresCommand = true; }}) {
    const WaitResult w = Wait("winxp", [&](sim::Description& d) {
      sim::CardDescription c = Card(0xFFF1);
      adjust(c);
      d.cards = {c};
    });
    EXPECT_FALSE(w.result);
    EXPECT_FALSE(w.prompted);
    EXPECT_GT(w.requests.size(), 90u);  // the command is sent again on every pass
  }
}

TEST(WaitForCardTest, ACardThatNeedsSeveralCommands) {
  const WaitResult w = Wait("win7-x86", [](sim::Description& d) {
    sim::CardDescription c = Card(0xFFFF);
    c.commandsNeeded = 3;
    d.cards = {c};
  });
  EXPECT_TRUE(w.result);
  EXPECT_EQ(w.requests.size(), 3u);
}

}  // namespace
