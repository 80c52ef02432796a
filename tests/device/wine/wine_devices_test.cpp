// The device code against the real SetupAPI under Wine, on the devices wine/card.reg registers.
#include <gtest/gtest.h>

#include <algorithm>

#include "device/card_cdrom.h"
#include "device/card_ids.h"
#include "device/cdrom_switch.h"
#include "device/enumerator.h"
#include "env/log.h"
#include "env/paths.h"
#include "platform/file.h"
#include "tests/support/scratch.h"

namespace {

const wchar_t kCardDrive[] = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00\\QXR00001&0";

TEST(WineDevicesTest, ListingsShowTheRegisteredDevicesAndInterfaces) {
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> drives;
  enumerator.EnumDevices(GUID_DEVCLASS_CDROM, drives, true);
  const auto card = std::find_if(drives.begin(), drives.end(), [](const DeviceRecord& r) {
    return UpperCase(r.strInstanceID) == UpperCase(kCardDrive);
  });
  ASSERT_NE(card, drives.end());
  EXPECT_EQ(card->strFriendlyName, L"QXR QXRMTFFF4 USB Device");
  EXPECT_EQ(card->strDeviceDesc, L"CD-ROM Drive");

  std::vector<DeviceRecord> interfaces;
  enumerator.EnumInterfaces(GUID_DEVINTERFACE_CDROM, interfaces);
  int cardInterfaces = 0;
  for (const auto& r : interfaces) {
    if (UpperCase(r.strInstanceID) == UpperCase(kCardDrive)) {
      ++cardInterfaces;
      EXPECT_NE(UpperCase(r.strSymbolicName).find(L"USBSTOR#CDROM&VEN_QXR"), std::wstring::npos);
    }
  }
  EXPECT_EQ(cardInterfaces, 1);
  enumerator.Release();
}

TEST(WineDevicesTest, TheCardIsSeenInBothItsForms) {
  EXPECT_TRUE(IsCompositeCardPresent());
  vecInstanceID ids;
  EXPECT_TRUE(CollectCardCdromIDs(ids, true));
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(UpperCase(ids[0]), UpperCase(kCardDrive));
  std::wstring path;
  ASSERT_TRUE(FindCardCdromInterface(path));
  EXPECT_NE(UpperCase(path).find(L"USBSTOR#CDROM&VEN_QXR"), std::wstring::npos);
  EXPECT_EQ(UpperCase(path).find(L"IDE#"), std::wstring::npos);  // not the other drive
}

TEST(WineDevicesTest, AMadeUpDriveCannotBeOpenedAndSaysSo) {
  const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
  env_testing::ResetLog();
  ASSERT_TRUE(testsupport::WriteFileBytes(marker, ""));
  std::wstring path;
  ASSERT_TRUE(FindCardCdromInterface(path));
  win::BYTE command[260] = {};
  win::DWORD length = 0;
  BuildSwitchCommand(command, length);
  EXPECT_FALSE(SendSwitchCommand(path, command, length));
  env_testing::ResetLog();
  const std::string log = testsupport::ReadFileBytes(marker);
  EXPECT_NE(log.find(", Error Code: 2\r\n"), std::string::npos) << log;
  win::DeleteFileW(marker.c_str());
}

TEST(WineWithoutCardTest, NoCardIsSeen) {
  EXPECT_FALSE(IsCompositeCardPresent());
  vecInstanceID ids;
  EXPECT_FALSE(CollectCardCdromIDs(ids, false));
  std::wstring path = L"unchanged";
  EXPECT_FALSE(FindCardCdromInterface(path));
  EXPECT_EQ(path, L"unchanged");
}

TEST(WineDevicesTest, TheDebugPrivilegeCanBeEnabled) { EXPECT_TRUE(EnableDebugPrivilege()); }

}  // namespace
