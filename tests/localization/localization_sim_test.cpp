// Localization on simulated machines: the user's language, the code page, the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "localization/ini_file.h"
#include "localization/language.h"
#include "localization/localizer.h"
#include "platform/file.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

// A machine whose program lies in `image`, with the language files `files` in C:\App\Localize.
struct LanguageCase {
  win::WORD uiLanguage;
  std::vector<std::string> files;
  const wchar_t* expected;
};

TEST(LanguageSelectionTest, TheUserInterfaceLanguageChoosesTheFile) {
  const LanguageCase cases[] = {
      {0x0804, {"English.txt", "ChineseSimplified.txt"}, L"C:\\App\\Localize\\ChineseSimplified.txt"},
      {0x0C04, {"English.txt", "ChineseTradition.txt"}, L"C:\\App\\Localize\\ChineseTradition.txt"},
      {0x0C04, {"English.txt", "ChineseSimplified.txt"}, L"C:\\App\\Localize\\English.txt"},
      {0x0409, {}, L"C:\\App\\Localize\\English.txt"},
      {0x0419, {"English.txt"}, L"C:\\App\\Localize\\English.txt"},
      {0x0419, {"English.txt", "russian.TXT"}, L"C:\\App\\Localize\\Russian.txt"},
      {0x0428, {"English.txt"}, L"C:\\App\\Localize\\English.txt"},
      {0x0428, {"English.txt", ".txt"}, L"C:\\App\\Localize\\.txt"},
      {0x042B, {"English.txt"}, L"C:\\App\\Localize\\English.txt"},
  };
  for (const LanguageCase& c : cases) {
    testsupport::ScopedMachine machine("winxp", [&](sim::Description& d) {
      d.locale.uiLanguage = c.uiLanguage;
      d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
      d.process.currentDirectory.clear();
    });
    const fs::path localize = machine.Folder() / "drive_c" / "App" / "Localize";
    if (!c.files.empty()) fs::create_directories(localize);
    for (const auto& f : c.files) std::ofstream(localize / f) << "[Text]\r\nA=1\r\n";
    EXPECT_EQ(GetLanguageFilePath(), c.expected) << std::hex << c.uiLanguage;
  }
}

TEST(LanguageSelectionTest, ADirectoryNamedLikeTheFileIsTakenAndLoadsNothing) {
  testsupport::ScopedMachine machine("winxp", [](sim::Description& d) {
    d.locale.uiLanguage = 0x0419;
    d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
    d.process.currentDirectory.clear();
  });
  fs::create_directories(machine.Folder() / "drive_c" / "App" / "Localize" / "Russian.txt");
  EXPECT_EQ(GetLanguageFilePath(), L"C:\\App\\Localize\\Russian.txt");
  CLocalizer localizer;
  localizer.Load(GetLanguageFilePath());
  EXPECT_EQ(localizer.GetLanguageId(), 0);
}

TEST(LanguageSelectionTest, AProgramInTheRootFindsLocalizeInTheRoot) {
  testsupport::ScopedMachine machine("win7-x64", [](sim::Description& d) {
    d.process.image = L"C:\\Drvsetup.exe";
    d.process.currentDirectory.clear();
  });
  EXPECT_EQ(GetLanguageFilePath(), L"C:\\Localize\\English.txt");
}

TEST(AnsiLanguageFileTest, TheSystemCodePageDecodesTheFile) {
  const struct {
    win::UINT acp;
    std::string bytes;
    std::wstring text;
  } rows[] = {
      {1251, "\xcf\xf0\xe8\xe2\xe5\xf2", L"\x41f\x440\x438\x432\x435\x442"},
      {936, "\xca\xfd\xbe\xdd", L"\x6570\x636e"},
      {950, "\xbc\xc6\xbe\xda", L"\x6578\x64da"},
      {1252, "caf\xe9", L"caf\xe9"},
  };
  for (const auto& r : rows) {
    testsupport::ScopedMachine machine("winxp", [&](sim::Description& d) { d.locale.ansiCodePage = r.acp; });
    const CIniFile ini(CIniFile::FromBytes{}, "[Text-Setup]\r\nA=" + r.bytes + "\r\n");
    EXPECT_EQ(ini.GetValue(L"text-setup", L"a"), r.text) << r.acp;
    CLocalizer localizer;
    EXPECT_EQ(localizer.GetCodePage(), r.acp);
  }
}

TEST(FontOnSimulatedScreenTest, PointsFollowTheScreenResolution) {
  for (const auto& [dpi, height] : {std::pair{96, -11}, std::pair{120, -13}, std::pair{144, -16}}) {
    testsupport::ScopedMachine machine("winxp", [&](sim::Description& d) { d.screen.dpi = dpi; });
    const std::wstring path = testsupport::ScratchDirectory(L"font") + L"f.txt";
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "[Font]\r\nNormal=Tahoma, 8\r\n"));
    CLocalizer localizer;
    localizer.Load(path);
    win::LOGFONTW lf{};
    ASSERT_GT(win::GetObjectW(localizer.GetFont(L"Normal")->GetHandle(), sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, height) << dpi << " dpi";
  }
}

TEST(FontOnSimulatedScreenTest, TheDefaultFontIsTheScreensFont) {
  testsupport::ScopedMachine machine("winxp", [](sim::Description& d) {
    d.screen.fontFace = L"System";
    d.screen.fontHeight = 16;
    d.screen.fontWeight = 700;
  });
  CLocalizer localizer;
  win::LOGFONTW lf{};
  ASSERT_GT(win::GetObjectW(localizer.GetFont(L"Normal")->GetHandle(), sizeof lf, &lf), 0);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"System");
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfWeight, 700);
}

TEST(ShippedRussianFileTest, ReadsRightOnARussianSystem) {
  testsupport::ScopedMachine machine("winxp", [](sim::Description& d) {
    d.locale.ansiCodePage = 1251;
    d.locale.uiLanguage = 0x0419;
    d.process.image = L"C:\\App\\Bin\\Drvsetup.exe";
    d.process.currentDirectory.clear();
  });
  const fs::path localize = machine.Folder() / "drive_c" / "App" / "Localize";
  fs::create_directories(localize);
  fs::copy_file(fs::path(DRV_DATA_DIR) / "Localize" / "Russian.txt", localize / "Russian.txt");
  CLocalizer localizer;
  localizer.Load(GetLanguageFilePath());
  EXPECT_EQ(localizer.GetLanguageId(), 0x0419);
  EXPECT_EQ(localizer.GetText(L"UninstallPort", L"Setup"),
            L"\x423\x434\x430\x43b\x435\x43d\x438\x435 \x434\x440\x430\x439\x432\x435\x440\x430 \x43f\x43e\x440\x442\x430...");
}

}  // namespace
