// Enabling and disabling devices: which property changes are made for each state found.
#include <gtest/gtest.h>

#include "device/card_cdrom.h"
#include "device/device_state.h"
#include "env/log.h"
#include "env/paths.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace {

constexpr char kCdrom[] = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
const wchar_t kCard[] = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\7&1";

sim::DeviceDescription Device(const std::wstring& id, bool present, bool disabled, win::DWORD problem = 0,
                              bool fails = false) {
  sim::DeviceDescription d;
  d.instanceId = id;
  d.classGuid = kCdrom;
  d.present = present;
  d.disabledConfig = disabled;
  d.problem = problem;
  d.stateChangeFails = fails;
  return d;
}

struct StateCase {
  const char* what;
  sim::DeviceDescription device;
  const wchar_t* target;
  bool enable;
  std::vector<std::wstring> changes;
  bool result;
  const char* log;
};

TEST(DeviceStateTest, CallsMadeForEachStateFound) {
  const std::wstring g = std::wstring(L"enable global ") + kCard;
  const std::wstring c = std::wstring(L"enable config ") + kCard;
  const std::wstring d = std::wstring(L"disable config ") + kCard;
  const std::string enableLog = std::string("USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\7&1,SetupDiCallClassInstaller Enable OK \r\n");
  const StateCase cases[] = {
      {"disable a disabled device", Device(kCard, true, true), kCard, false, {}, true, ""},
      {"disable a working device", Device(kCard, true, false), kCard, false, {d}, true, ""},
      {"disable a device with another problem", Device(kCard, true, false, 10), kCard, false, {d}, true, ""},
      {"disable a device not plugged in", Device(kCard, false, false), kCard, false, {d}, true, ""},
      {"enable a working device", Device(kCard, true, false), kCard, true, {}, true, ""},
      {"enable a disabled device", Device(kCard, true, true), kCard, true, {g, c}, true, enableLog.c_str()},
      {"enable a device not plugged in", Device(kCard, false, true), kCard, true, {g, c}, true, enableLog.c_str()},
      {"a refused change", Device(kCard, true, false, 0, true), kCard, false, {d}, false, ""},
      {"a refused enable logs nothing", Device(kCard, true, true, 0, true), kCard, true, {g, c}, false, ""},
      {"an ID that is not installed", Device(kCard, true, false), L"USBSTOR\\CDROM\\NONE", false, {}, false, ""},
      {"an ID in other letter case", Device(kCard, true, false), L"usbstor\\cdrom&ven_qxr&prod_qxrmtfff4\\7&1", false, {}, false, ""},
  };
  for (const StateCase& s : cases) {
    testsupport::ScopedMachine machine("winxp", [&](sim::Description& desc) { desc.devices = {s.device}; });
    const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
    env_testing::ResetLog();
    testsupport::WriteFileBytes(marker, "");
    EXPECT_EQ(SetDeviceState(s.target, s.enable), s.result) << s.what;
    EXPECT_EQ(machine.Get().Observed().propertyChanges, s.changes) << s.what;
    env_testing::ResetLog();
    EXPECT_EQ(testsupport::ReadFileBytes(marker), s.log) << s.what;
  }
}

TEST(CardCdromStateTest, PresentOnlyAgainstAllInstalled) {
  const wchar_t kSecond[] = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\7&2";
  const wchar_t kOld[] = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\7&3";
  testsupport::ScopedMachine machine("winxp", [&](sim::Description& desc) {
    desc.devices = {Device(kCard, true, false), Device(L"IDE\\CDROM\\1", true, false), Device(kSecond, true, false),
                    Device(kOld, false, true, 0)};
  });
  EXPECT_TRUE(SetCardCdromState(false, true));
  EXPECT_EQ(machine.Get().Observed().propertyChanges,
            (std::vector<std::wstring>{std::wstring(L"disable config ") + kCard, std::wstring(L"disable config ") + kSecond}));
  machine.Get().Observed().propertyChanges.clear();
  EXPECT_TRUE(SetCardCdromState(true, false));
  EXPECT_EQ(machine.Get().Observed().propertyChanges,
            (std::vector<std::wstring>{std::wstring(L"enable global ") + kCard, std::wstring(L"enable config ") + kCard,
                                       std::wstring(L"enable global ") + kSecond, std::wstring(L"enable config ") + kSecond,
                                       std::wstring(L"enable global ") + kOld, std::wstring(L"enable config ") + kOld}));
}

TEST(CardCdromStateTest, NoCardDriveLogsACountOfZero) {
  testsupport::ScopedMachine machine("winxp", [&](sim::Description& desc) { desc.devices = {Device(L"IDE\\CDROM\\1", true, false)}; });
  const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
  env_testing::ResetLog();
  testsupport::WriteFileBytes(marker, "");
  EXPECT_FALSE(SetCardCdromState(false, true));
  EXPECT_TRUE(machine.Get().Observed().propertyChanges.empty());
  env_testing::ResetLog();
  EXPECT_EQ(testsupport::ReadFileBytes(marker), "vecInstanceID.size()  =  0\r\n");
}

TEST(CardCdromStateTest, ATrueResultEvenWhenEveryChangeFails) {
  testsupport::ScopedMachine machine("winxp", [&](sim::Description& desc) { desc.devices = {Device(kCard, true, false, 0, true)}; });
  EXPECT_TRUE(SetCardCdromState(false, true));
  EXPECT_EQ(machine.Get().Observed().propertyChanges.size(), 1u);
}

}  // namespace
