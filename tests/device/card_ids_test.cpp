// The three identifier predicates and their log lines.
#include <gtest/gtest.h>

#include "device/card_ids.h"
#include "env/log.h"
#include "env/paths.h"
#include "platform/file.h"
#include "tests/support/scratch.h"

namespace {

TEST(CardIdsTest, EachPredicateHasItsOwnTable) {
  const struct {
    const wchar_t* id;
    bool hardware, supported, chip;
  } rows[] = {
      {L"", false, false, false},
      {L"USB\\VID_3F7D&PID_FFF1&REV_0000", true, true, false},
      {L"USB\\VID_3F7D&PID_FFF1&MI_00", true, true, false},
      {L"usb\\vid_3f7d&pid_fff1", false, true, false},  // the hardware test is case-sensitive
      {L"USB\\VID_3F7D&PID_FFF2", false, false, false},
      {L"USB\\VID_3F7D&PID_FFFC", true, false, false},
      {L"USB\\VID_3F7D&PID_FFFB&REV_0100", true, false, false},
      {L"USB\\VID_3F7D&PID_FFF5", true, false, false},
      {L"USB\\VID_05C6&PID_6000", true, false, false},
      {L"USB\\VID_05C6&PID_3197&MI_01", true, false, false},
      {L"USB\\VID_3F7D&PID_FFF6&MI_01", true, true, false},
      {L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00\\6&1A2B&0", false, true, true},
      {L"usbstor\\cdrom&ven_qxr&prod_qxrmtfff4\\7&0", false, true, true},
      {L"USBSTOR\\CDROM&VEN_OTHER&PROD_DVD\\5&0", false, false, false},
      {L"USBSTOR\\DISK&VEN_QXR&PROD_QXRMTFFF4\\5&0", false, true, false},  // the disk enumerator
      {L"SCSI\\CDROM&VEN_QXR&PROD_QXRMTFFF4", false, true, false},
      {L"xxUSB\\VID_3F7D&PID_FFFFyy", true, true, false},
  };
  for (const auto& r : rows) {
    const std::string what = testsupport::Narrow(r.id);
    EXPECT_EQ(IsCardHardwareID(r.id), r.hardware) << what;
    EXPECT_EQ(IsSupportedID(r.id), r.supported) << what;
    EXPECT_EQ(IsUsbChipID(r.id), r.chip) << what;
  }
  // The caller upper-cases before the hardware test.
  EXPECT_TRUE(IsCardHardwareID(UpperCase(L"usb\\vid_3f7d&pid_fff1")));
  EXPECT_EQ(UpperCase(L"usb\\vid_3f7d&pid_fff1&mi_00"), L"USB\\VID_3F7D&PID_FFF1&MI_00");
}

TEST(CardIdsTest, MatchesAreLoggedWithTheUpperCasedIdAndTheEntry) {
  const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
  env_testing::ResetLog();
  ASSERT_TRUE(testsupport::WriteFileBytes(marker, ""));
  const std::wstring lower = L"usb\\vid_3f7d&pid_fff1";
  IsSupportedID(lower);
  EXPECT_EQ(lower, L"usb\\vid_3f7d&pid_fff1");  // the argument is not changed
  IsSupportedID(L"USBSTOR\\CDROM&VEN_QXR&PROD_X\\VID_3F7D&PID_FFFF");  // the first entry in table order wins
  IsSupportedID(L"USB\\VID_05C6&PID_6000");  // no match, no line
  IsUsbChipID(L"usbstor\\cdrom&ven_qxr&prod_qxrmtfff4");
  IsCardHardwareID(L"USB\\VID_3F7D&PID_FFF1");  // never logs
  env_testing::ResetLog();
  EXPECT_EQ(testsupport::ReadFileBytes(marker),
            "IsSupportedID Found OK :USB\\VID_3F7D&PID_FFF1  VID_3F7D&PID_FFF1\r\n"
            "IsSupportedID Found OK :USBSTOR\\CDROM&VEN_QXR&PROD_X\\VID_3F7D&PID_FFFF  VID_3F7D&PID_FFFF\r\n"
            "IsUsbChipID Found OK :USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4  QXRMTFFF4\r\n");
  win::DeleteFileW(marker.c_str());
}

}  // namespace
