// Device listings and the composite-card scan on simulated device trees.
#include <gtest/gtest.h>

#include "device/enumerator.h"
#include "env/log.h"
#include "env/paths.h"
#include "platform/error.h"
#include "platform/file.h"
#include "tests/support/logged_machine.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace {

constexpr char kUsb[] = "{36FC9E60-C465-11CF-8056-444553540000}";
constexpr char kCdrom[] = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
constexpr char kCdromInterface[] = "{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}";

sim::DeviceDescription Usb(const std::wstring& id, std::vector<std::wstring> hardware, std::vector<std::wstring> compatible,
                           bool present = true) {
  sim::DeviceDescription d;
  d.instanceId = id;
  d.classGuid = kUsb;
  d.className = L"USB";
  d.hardwareIds = std::move(hardware);
  d.compatibleIds = std::move(compatible);
  d.description = L"USB device";
  d.present = present;
  return d;
}

sim::DeviceDescription Cdrom(const std::wstring& id, const std::wstring& link, bool present = true) {
  sim::DeviceDescription d;
  d.instanceId = id;
  d.classGuid = kCdrom;
  d.className = L"CDROM";
  d.friendlyName = L"QXR QXRMTFFF4 USB Device";
  d.description = L"CD-ROM Drive";
  d.pdoName = L"\\Device\\00000071";
  d.present = present;
  d.interfaces.push_back({kCdromInterface, link});
  return d;
}

const std::vector<std::wstring> kComposite = {L"USB\\DevClass_00&SubClass_00&Prot_00", L"USB\\DevClass_00&SubClass_00",
                                              L"USB\\DevClass_00", L"USB\\COMPOSITE"};
const std::vector<std::wstring> kInterfaceNode = {L"USB\\Class_ff&SubClass_ff&Prot_ff", L"USB\\Class_ff&SubClass_ff",
                                                  L"USB\\Class_ff"};
const std::vector<std::wstring> kMassStorage = {L"USB\\Class_08&SubClass_06&Prot_50", L"USB\\Class_08&SubClass_06",
                                                L"USB\\Class_08"};

using EnumeratorTest = testsupport::LoggedMachineTest;

TEST_F(EnumeratorTest, TheCompositeScanTable) {
  const struct {
    const char* what;
    std::vector<sim::DeviceDescription> devices;
    bool expected;
    const char* log;
  } cases[] = {
      {"no card", {Usb(L"USB\\ROOT_HUB20\\4&1", {L"USB\\ROOT_HUB20"}, {})}, false, ""},
      {"composite card", {Usb(L"USB\\VID_3F7D&PID_FFF1\\5&1", {L"USB\\Vid_3F7D&Pid_FFF1&Rev_0000", L"USB\\Vid_3F7D&Pid_FFF1"}, kComposite)},
       true, "Device Compatible ID : USB\\DEVCLASS_00&SUBCLASS_00&PROT_00|USB\\DEVCLASS_00&SUBCLASS_00|USB\\DEVCLASS_00|USB\\COMPOSITE\r\n"},
      {"mass storage only", {Usb(L"USB\\VID_3F7D&PID_FFF1\\5&1", {L"USB\\VID_3F7D&PID_FFF1&REV_0000"}, kMassStorage)}, false,
       "Device Compatible ID : USB\\CLASS_08&SUBCLASS_06&PROT_50|USB\\CLASS_08&SUBCLASS_06|USB\\CLASS_08\r\n"},
      {"an interface node", {Usb(L"USB\\VID_3F7D&PID_FFF1&MI_00\\6&1", {L"USB\\VID_3F7D&PID_FFF1&MI_00"}, kInterfaceNode)}, false,
       "Device Compatible ID : USB\\CLASS_FF&SUBCLASS_FF&PROT_FF|USB\\CLASS_FF&SUBCLASS_FF|USB\\CLASS_FF\r\n"},
      {"composite without DEVCLASS", {Usb(L"USB\\X\\1", {L"USB\\VID_3F7D&PID_FFFE"}, {L"USB\\COMPOSITE"})}, true,
       "Device Compatible ID : USB\\COMPOSITE\r\n"},
      {"DEVCLASS alone", {Usb(L"USB\\X\\1", {L"USB\\VID_3F7D&PID_FFFE"}, {L"USB\\DevClass_00"})}, false,
       "Device Compatible ID : USB\\DEVCLASS_00\r\n"},
      {"a card not plugged in", {Usb(L"USB\\X\\1", {L"USB\\VID_3F7D&PID_FFFE"}, kComposite, false)}, false, ""},
      {"the first passing device ends the scan",
       {Usb(L"USB\\A\\1", {L"USB\\VID_3F7D&PID_FFFE"}, {L"USB\\COMPOSITE"}), Usb(L"USB\\B\\1", {L"USB\\VID_3F7D&PID_FFFF"}, {L"USB\\COMPOSITE"})},
       true, "Device Compatible ID : USB\\COMPOSITE\r\n"},
      {"lower-case hardware ID", {Usb(L"USB\\X\\1", {L"usb\\vid_05c6&pid_6000"}, {L"USB\\COMPOSITE"})}, true,
       "Device Compatible ID : USB\\COMPOSITE\r\n"},
      {"no compatible IDs", {Usb(L"USB\\X\\1", {L"USB\\VID_3F7D&PID_FFFE"}, {})}, false, ""},
  };
  for (const auto& c : cases) {
    Use(c.devices);
    EXPECT_EQ(IsCompositeCardPresent(), c.expected) << c.what;
    EXPECT_EQ(Log(), c.log) << c.what;
  }
}

TEST_F(EnumeratorTest, DeviceListingsFollowPresentOnly) {
  Use({Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\1", L"\\\\?\\usbstor#cdrom#1#{53f56308}"),
       Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\2", L"\\\\?\\usbstor#cdrom#2#{53f56308}", false),
       Usb(L"USB\\ROOT_HUB20\\4&1", {L"USB\\ROOT_HUB20"}, {})});
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> present;
  EXPECT_EQ(enumerator.EnumDevices(GUID_DEVCLASS_CDROM, present, true), 1);
  EXPECT_EQ(present[0].strInstanceID, L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\1");
  EXPECT_EQ(present[0].strFriendlyName, L"QXR QXRMTFFF4 USB Device");
  EXPECT_EQ(present[0].strPdoName, L"\\Device\\00000071");
  EXPECT_TRUE(present[0].strSymbolicName.empty());
  std::vector<DeviceRecord> all = {DeviceRecord{}};  // the list is appended to; the count is its size
  EXPECT_EQ(enumerator.EnumDevices(GUID_DEVCLASS_CDROM, all, false), 4);
  EXPECT_EQ(all[3].strInstanceID, L"USB\\ROOT_HUB20\\4&1");
  EXPECT_TRUE(all[3].strFriendlyName.empty());  // a property the device lacks stays empty
  enumerator.Release();
  enumerator.Release();
}

TEST_F(EnumeratorTest, InterfaceListingsGiveThePathsOfPresentInterfaces) {
  Use({Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\1", L"\\\\?\\usbstor#cdrom#1#{53f56308}"),
       Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\2", L"\\\\?\\usbstor#cdrom#2#{53f56308}", false),
       Cdrom(L"IDE\\CDROMHL-DT-ST\\5&1", L"\\\\?\\ide#cdrom#5#{53f56308}")});
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> records;
  ASSERT_EQ(enumerator.EnumInterfaces(GUID_DEVINTERFACE_CDROM, records), 2);
  EXPECT_EQ(records[0].strSymbolicName, L"\\\\?\\usbstor#cdrom#1#{53f56308}");
  EXPECT_EQ(records[0].strInstanceID, L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\1");
  EXPECT_EQ(records[1].strInstanceID, L"IDE\\CDROMHL-DT-ST\\5&1");
  EXPECT_NE(records[0].dwDevInst, records[1].dwDevInst);
}

TEST_F(EnumeratorTest, AnInterfaceWhoseDetailCannotBeReadIsLeftOut) {
  sim::DeviceDescription gone = Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\1", L"\\\\?\\gone");
  gone.detailFails = true;
  Use({gone, Cdrom(L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4\\2", L"\\\\?\\here")});
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> records;
  EXPECT_EQ(enumerator.EnumInterfaces(GUID_DEVINTERFACE_CDROM, records), 1);  // the list's size, not the system's count
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].strSymbolicName, L"\\\\?\\here");
}

TEST_F(EnumeratorTest, PropertiesLongerThanTheBufferCountAsUnreadable) {
  sim::DeviceDescription d = Cdrom(L"USBSTOR\\CDROM\\1", L"\\\\?\\x");
  d.friendlyName = std::wstring(300, L'n');
  d.description = std::wstring(255, L'd');
  Use({d});
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> records;
  ASSERT_EQ(enumerator.EnumDevices(GUID_DEVCLASS_CDROM, records, true), 1);
  EXPECT_TRUE(records[0].strFriendlyName.empty());
  EXPECT_EQ(records[0].strDeviceDesc.size(), 255u);
}

TEST(DeviceSetTest, SetsFollowWindowsBufferAndEndRules) {
  testsupport::ScopedMachine machine("win7-x64", [](sim::Description& d) {
    d.devices.push_back(Usb(L"USB\\VID_3F7D&PID_FFF1\\5&1", {L"USB\\VID_3F7D&PID_FFF1"}, kComposite));
  });
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, win::DIGCF_PRESENT), win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
  const win::HDEVINFO set = win::SetupDiGetClassDevsW(&GUID_DEVCLASS_USB, nullptr, nullptr, win::DIGCF_PRESENT);
  ASSERT_NE(set, win::INVALID_HANDLE_VALUE);
  win::SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  ASSERT_TRUE(win::SetupDiEnumDeviceInfo(set, 0, &device));
  win::SetLastError(0xDEADBEEF);
  EXPECT_FALSE(win::SetupDiEnumDeviceInfo(set, 1, &device));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_ITEMS);
  wchar_t small[4] = {L'x', L'x', L'x', L'x'};
  win::DWORD need = 0;
  win::SetLastError(0xDEADBEEF);
  EXPECT_FALSE(win::SetupDiGetDeviceRegistryPropertyW(set, &device, win::SPDRP_HARDWAREID, nullptr,
                                                      reinterpret_cast<win::BYTE*>(small), sizeof small, &need));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(need, (std::wstring(L"USB\\VID_3F7D&PID_FFF1").size() + 2) * sizeof(wchar_t));
  EXPECT_EQ(small[0], L'x');  // untouched
  EXPECT_TRUE(win::SetupDiDestroyDeviceInfoList(set));
  win::SetLastError(0xDEADBEEF);
  EXPECT_FALSE(win::SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

}  // namespace
