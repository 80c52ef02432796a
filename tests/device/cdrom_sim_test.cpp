// The card's CD-ROM drive: finding it, the switch command per Windows generation, the request block,
// and collecting the card's CD-ROM devices.
#include <gtest/gtest.h>

#include "device/card_cdrom.h"
#include "device/cdrom_switch.h"
#include "env/log.h"
#include "env/paths.h"
#include "tests/support/logged_machine.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace {

constexpr char kCdrom[] = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
constexpr char kCdromInterface[] = "{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}";

sim::DeviceDescription Drive(const std::wstring& id, const std::wstring& link, bool present = true) {
  sim::DeviceDescription d;
  d.instanceId = id;
  d.classGuid = kCdrom;
  d.present = present;
  d.interfaces.push_back({kCdromInterface, link});
  return d;
}

const wchar_t kCard1[] = L"USBSTOR\\CdRom&Ven_QXR&Prod_QXRMTFFF4&Rev_1.00\\7&1";
const wchar_t kCard2[] = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00\\7&2";
const wchar_t kOther[] = L"IDE\\CDROMHL-DT-ST_DVD\\5&1";

TEST(SwitchCommandTest, TheBytesFollowTheWindowsGeneration) {
  const struct {
    const char* tmpl;
    win::BYTE b1, b2;
  } rows[] = {{"win2000", 0x02, 0x02}, {"winxp", 0x01, 0x00}, {"winxp-x64", 0x00, 0x00}, {"win2003", 0x00, 0x00},
              {"vista-x64", 0x03, 0x00}, {"win7-x86", 0x03, 0x00}, {"win8", 0x00, 0x00}, {"win98", 0x00, 0x00}};
  for (const auto& r : rows) {
    testsupport::ScopedMachine machine(r.tmpl);
    win::BYTE command[260] = {};
    win::DWORD length = 0;
    EXPECT_TRUE(BuildSwitchCommand(command, length));
    EXPECT_EQ(length, 3u) << r.tmpl;
    EXPECT_EQ(command[0], 0x9F) << r.tmpl;
    EXPECT_EQ(command[1], r.b1) << r.tmpl;
    EXPECT_EQ(command[2], r.b2) << r.tmpl;
    EXPECT_EQ(command[3], 0) << r.tmpl;
  }
}

TEST(SwitchCommandTest, TheRequestBlockByteForByte) {
  const win::BYTE xp[3] = {0x9F, 0x01, 0x00};
  const PassThroughBlock b = BuildPassThroughBlock(xp, 3);
  PassThroughBlock want{};
  const win::BYTE header[] = {44, 0, 0, 0, 1, 0, 6, 32, 1, 0, 0, 0, 192, 0, 0, 0, 2, 0, 0, 0, 80, 0, 0, 0, 48, 0, 0, 0,
                              0x9F, 0x01, 0x00};
  std::copy(std::begin(header), std::end(header), want.begin());
  EXPECT_EQ(b, want);

  const PassThroughBlock none = BuildPassThroughBlock(nullptr, 3);
  const PassThroughBlock zero = BuildPassThroughBlock(xp, 0);
  for (std::size_t i = 28; i < 44; ++i) {
    EXPECT_EQ(none[i], 0) << i;
    EXPECT_EQ(zero[i], 0) << i;
  }
  EXPECT_EQ(none[6], 6);  // CdbLength stays 6

  win::BYTE longCommand[20];
  for (int i = 0; i < 20; ++i) longCommand[i] = static_cast<win::BYTE>(0xA0 + i);
  const PassThroughBlock cut = BuildPassThroughBlock(longCommand, 20);
  EXPECT_EQ(cut[28 + 15], 0xAF);
  EXPECT_EQ(cut[44], 0);  // nothing spills past the 16-byte Cdb
  EXPECT_EQ(kPassThroughInputLength, 44u);
  EXPECT_EQ(kPassThroughOutputLength, 272u);
}

class CardDriveTest : public testsupport::LoggedMachineTest {
 protected:
  void Use(std::vector<sim::DeviceDescription> devices) { LoggedMachineTest::Use(std::move(devices), "winxp"); }
};

TEST_F(CardDriveTest, TheFirstCardDriveInListingOrderIsTaken) {
  Use({Drive(kOther, L"\\\\?\\ide#cdrom"), Drive(kCard1, L"\\\\?\\usbstor#cdrom#1"), Drive(kCard2, L"\\\\?\\usbstor#cdrom#2")});
  std::wstring path;
  ASSERT_TRUE(FindCardCdromInterface(path));
  EXPECT_EQ(path, L"\\\\?\\usbstor#cdrom#1");
  EXPECT_EQ(Log(),
            "1.1 SymblicName:\t \\\\?\\ide#cdrom \r\r\n\r\n"
            "1.2 InstanceID:\t IDE\\CDROMHL-DT-ST_DVD\\5&1 \r\r\n\r\n"
            "2.1 SymblicName:\t \\\\?\\usbstor#cdrom#1 \r\r\n\r\n"
            "2.2 InstanceID:\t USBSTOR\\CdRom&Ven_QXR&Prod_QXRMTFFF4&Rev_1.00\\7&1 \r\r\n\r\n"
            "IsSupportedID Found OK :USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00\\7&1  &VEN_QXR&\r\n");
}

TEST_F(CardDriveTest, DrivesThatAreNotTheCardsAreNotTaken) {
  Use({Drive(L"USBSTOR\\CDROM&VEN_OTHER&PROD_VID_3F7D&PID_FFF1\\1", L"\\\\?\\a"),  // a product ID but no _QXR&
       Drive(kCard1, L"\\\\?\\b", false)});                                        // the card's, not plugged in
  std::wstring path = L"unchanged";
  EXPECT_FALSE(FindCardCdromInterface(path));
  EXPECT_EQ(path, L"unchanged");
}

TEST_F(CardDriveTest, CollectingTheCardsCdromDevices) {
  Use({Drive(kCard1, L"\\\\?\\1"), Drive(kOther, L"\\\\?\\2"), Drive(kCard2, L"\\\\?\\3", false)});
  vecInstanceID ids = {L"old"};
  EXPECT_TRUE(CollectCardCdromIDs(ids, true));
  EXPECT_EQ(ids, (vecInstanceID{kCard1}));  // as the system reports it, not upper-cased
  EXPECT_TRUE(CollectCardCdromIDs(ids, false));
  EXPECT_EQ(ids, (vecInstanceID{kCard1, kCard2}));

  Use({Drive(kOther, L"\\\\?\\2")});
  EXPECT_FALSE(CollectCardCdromIDs(ids, false));
  EXPECT_TRUE(ids.empty());
}

TEST_F(CardDriveTest, TheCommandReachesTheDriveInThePassThroughRequest) {
  sim::DeviceDescription card = Drive(kCard1, L"\\\\?\\usbstor#cdrom#1");
  Use({card});
  win::BYTE command[260] = {};
  win::DWORD length = 0;
  BuildSwitchCommand(command, length);
  EXPECT_TRUE(SendSwitchCommand(L"\\\\?\\USBSTOR#CDROM#1", command, length));
  const auto& requests = m_machine->Get().Observed().ioRequests;
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, IOCTL_SCSI_PASS_THROUGH);
  EXPECT_EQ(requests[0].inSize, 44u);
  EXPECT_EQ(requests[0].outSize, 272u);
  const PassThroughBlock expected = BuildPassThroughBlock(command, 3);
  ASSERT_EQ(requests[0].bytes.size(), 272u);
  EXPECT_TRUE(std::equal(requests[0].bytes.begin(), requests[0].bytes.end(), expected.begin()));
  EXPECT_EQ(requests[0].bytes[28], 0x9F);
  EXPECT_EQ(requests[0].bytes[29], 0x01);  // Windows XP
  EXPECT_EQ(Log(), "CreateFile: \\\\?\\USBSTOR#CDROM#1\r\n\r\n");
}

TEST_F(CardDriveTest, ADriveThatCannotBeOpenedIsLoggedWithItsErrorCode) {
  sim::DeviceDescription card = Drive(kCard1, L"\\\\?\\usbstor#cdrom#1");
  card.openDenied = true;
  Use({card});
  EXPECT_FALSE(SendSwitchCommand(L"\\\\?\\usbstor#cdrom#1", nullptr, 0));
  EXPECT_FALSE(SendSwitchCommand(L"\\\\?\\no#such#drive", nullptr, 0));
  EXPECT_TRUE(m_machine->Get().Observed().ioRequests.empty());
  EXPECT_EQ(Log(),
            "CreateFile: \\\\?\\usbstor#cdrom#1\r\n\r\n"
            "Error CreateFile: \\\\?\\usbstor#cdrom#1, Error Code: 5\r\n\r\n"
            "CreateFile: \\\\?\\no#such#drive\r\n\r\n"
            "Error CreateFile: \\\\?\\no#such#drive, Error Code: 2\r\n\r\n");
}

TEST(DebugPrivilegeTest, TrueOnlyWhenTheTokenHoldsThePrivilege) {
  for (bool held : {true, false}) {
    testsupport::ScopedMachine machine("winxp", [&](sim::Description& d) { d.process.debugPrivilege = held; });
    EXPECT_EQ(EnableDebugPrivilege(), held);
  }
}

}  // namespace
