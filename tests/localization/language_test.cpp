// Language names and the language file path.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "env/paths.h"
#include "localization/language.h"
#include "platform/file.h"
#include "platform/nls.h"
#include "tests/support/scratch.h"

namespace {

TEST(LanguageNameTest, NotableRowsAndGaps) {
  const struct {
    win::WORD id;
    const wchar_t* name;
  } rows[] = {
      {0x0409, L"English"},           {0x042B, L"English"},   {0x3409, L"English"},         {0x0804, L"ChineseSimplified"},
      {0x0404, L"ChineseTradition"},  {0x0C04, L"ChineseTradition"}, {0x1004, L"ChineseTradition"},
      {0x1404, L"ChineseTradition"},  {0x0414, L"Bokmal"},    {0x0814, L"Nynorsk"},         {0x081A, L"Serbian"},
      {0x0C1A, L"Serbian"},           {0x041A, L"Croatian"},  {0x0419, L"Russian"},         {0x0401, L"Arabic"},
      {0x4001, L"Arabic"},            {0x500A, L"Spanish"},   {0x0465, L"Divehi"},          {0x0407, L"German"},
      {0x0417, L""},                  {0x0428, L""},          {0x0442, L""},                {0x0000, L""},
      {0x0009, L""},                  {0x0804 | 0x8000, L""}, {0xFFFF, L""},
  };
  for (const auto& r : rows) EXPECT_EQ(GetLanguageName(r.id), r.name) << std::hex << r.id;
}

TEST(LanguageNameTest, TheTableHas69NamesFor139Identifiers) {
  int identifiers = 0;
  std::vector<std::wstring> names;
  for (unsigned id = 0; id <= 0xFFFF; ++id) {
    const std::wstring name = GetLanguageName(static_cast<win::WORD>(id));
    if (name.empty()) continue;
    ++identifiers;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  EXPECT_EQ(identifiers, 139);
  EXPECT_EQ(names.size(), 69u);
}

TEST(LanguageFileTest, ThePathLiesInLocalizeBesideTheProgramsDirectory) {
  const std::wstring dir = CollapseParentDirs(GetModuleDirectory() + L"..\\Localize\\");
  win::CreateDirectoryW(dir.substr(0, dir.size() - 1).c_str(), nullptr);
  const std::wstring own = dir + GetLanguageName(win::GetUserDefaultUILanguage()) + L".txt";
  win::DeleteFileW(own.c_str());
  win::DeleteFileW((dir + L"English.txt").c_str());
  // Neither file exists: the English path all the same.
  EXPECT_EQ(GetLanguageFilePath(), dir + L"English.txt");
  ASSERT_TRUE(testsupport::WriteFileBytes(own, "[Text]\r\nA=1\r\n"));
  EXPECT_EQ(GetLanguageFilePath(), own);
  EXPECT_EQ(GetLanguageFilePath().find(L"\\..\\"), std::wstring::npos);
  win::DeleteFileW(own.c_str());
}

}  // namespace
