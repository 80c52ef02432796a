// The product's language files: each parses to its end and holds every text the system asks for.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "localization/ini_file.h"
#include "localization/localizer.h"
#include "tests/support/scratch.h"

namespace {

const wchar_t* const kSetupKeys[] = {L"MsgBoxTitle",     L"PlugAlert",      L"NewDeviceTimeout", L"InstallModem",
                                     L"InstallPort",     L"FailInstallModem", L"FailInstallPort", L"Reboot",
                                     L"InstallOK",       L"DeviceExistAlert", L"UninstallPort",  L"UinstallModem"};

struct Shipped {
  const wchar_t* name;
  win::WORD id;
  win::DWORD codePage;
};

const Shipped kShipped[] = {
    {L"English", 0x0409, 1252},
    {L"ChineseSimplified", 0x0804, 936},
    {L"ChineseTradition", 0x0404, 950},
    {L"Russian", 0x0419, 1251},
};

// The shipped file's bytes, copied where the platform layer reads files.
std::wstring CopyShipped(const std::wstring& name) {
  std::string host = DRV_DATA_DIR "/Localize/";
  for (wchar_t c : name) host += static_cast<char>(c);
  host += ".txt";
  std::ifstream in(host, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_TRUE(in.good() || in.eof()) << host;
  EXPECT_FALSE(bytes.str().empty()) << host;
  const std::wstring path = testsupport::ScratchDirectory(L"shipped") + name + L".txt";
  EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes.str()));
  return path;
}

TEST(ShippedLanguageFilesTest, EachParsesCompletelyAndHoldsEveryKey) {
  for (const Shipped& s : kShipped) {
    const std::wstring path = CopyShipped(s.name);
    const CIniFile ini(path);
    const std::string what = testsupport::Narrow(s.name);
    EXPECT_EQ(ini.StoppedAtLine(), 0u) << what << " stops early";
    for (const wchar_t* key : kSetupKeys) EXPECT_FALSE(ini.GetValue(L"Text-Setup", key).empty()) << what << ": " << testsupport::Narrow(key);
    EXPECT_FALSE(ini.GetValue(L"Text-Connection", L"ConnectionName").empty()) << what;
    EXPECT_FALSE(ini.GetValue(L"Font", L"Normal").empty()) << what;
    EXPECT_GT(ini.GetKeyCount(L"TimeFormat"), 0u) << what;

    CLocalizer localizer;
    localizer.Load(path);
    EXPECT_EQ(localizer.GetLanguageId(), s.id) << what;
    EXPECT_EQ(localizer.GetCodePage(), s.codePage) << what;
    for (const wchar_t* key : kSetupKeys) {
      const std::wstring k = key;
      EXPECT_NE(&localizer.GetText(k, L"Setup"), &k) << what << ": " << testsupport::Narrow(key);
    }
    const std::wstring conn = L"ConnectionName";
    EXPECT_NE(&localizer.GetText(conn, L"Connection"), &conn) << what;
    EXPECT_NE(localizer.GetFont(L"Normal")->GetHandle(), nullptr) << what;
  }
}

TEST(ShippedLanguageFilesTest, EnglishAndChineseTextsComeBack) {
  CLocalizer english;
  english.Load(CopyShipped(L"English"));
  EXPECT_EQ(english.GetText(L"MsgBoxTitle", L"Setup"), L"Data Card Setup");
  EXPECT_EQ(english.GetText(L"UninstallPort", L"Setup"), L"Removing the port driver...");
  EXPECT_EQ(english.GetText(L"Reboot", L"Setup"),
            L"The drivers are installed.\r\nPlease restart the computer to finish the setup.");
  EXPECT_EQ(english.GetText(L"ConnectionName", L"Connection"), L"ZUDURAV Data Connection");

  CLocalizer chinese;
  chinese.Load(CopyShipped(L"ChineseSimplified"));
  EXPECT_EQ(chinese.GetText(L"MsgBoxTitle", L"Setup"), L"\x6570\x636E\x5361\x5B89\x88C5");  // 数据卡安装
  EXPECT_EQ(chinese.GetText(L"ConnectionName", L"Connection"), L"ZUDURAV \x6570\x636E\x8FDE\x63A5");
}

}  // namespace
