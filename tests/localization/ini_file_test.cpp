// The settings-file reader: encodings, line ends and the grammar, as tables of file contents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "localization/ini_file.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "tests/support/scratch.h"

namespace {

// UTF-16LE bytes of `text`, with the FF FE mark unless told otherwise.
std::string Utf16(const std::wstring& text, bool mark = true) {
  std::string bytes = mark ? std::string("\xFF\xFE") : std::string();
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

struct Lookup {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* value;  // "" for absent
};

struct GrammarCase {
  const char* what;
  std::string bytes;
  std::vector<Lookup> lookups;
  unsigned sections;
  unsigned stoppedAt;
};

TEST(IniFileTest, GrammarAndEncodings) {
  const GrammarCase cases[] = {
      {"UTF-16 with its mark", Utf16(L"[Setup]\r\nTitle=Install\r\n"), {{L"setup", L"title", L"Install"}}, 1, 0},
      {"UTF-16 without its mark reads as cut ANSI lines", Utf16(L"[Setup]\r\nTitle=Install\r\n", false),
       {{L"setup", L"title", L""}}, 0, 1},
      {"LF and CR LF alike, last line without LF", "[A]\nx=1\r\ny=2\r\nz=3", {{L"a", L"x", L"1"}, {L"a", L"y", L"2"}, {L"a", L"z", L"3"}}, 1, 0},
      {"a line of blanks ends the reading", "[Setup]\r\nTitle=Install\r\n   \r\nOther=x\r\n",
       {{L"setup", L"title", L"Install"}, {L"setup", L"other", L""}}, 1, 3},
      {"an empty line is skipped", "[Setup]\r\n\r\nOther=x\r\n", {{L"setup", L"other", L"x"}}, 1, 0},
      {"an indented # ends the reading", "[S]\r\n#note\r\n  # note\r\nk=v\r\n", {{L"s", L"k", L""}}, 1, 3},
      {"brackets with text between make a header anywhere", "[S]\r\nCaption=Press [OK] now\r\nk=v\r\n",
       {{L"s", L"caption", L""}, {L"ok", L"k", L"v"}}, 2, 0},
      {"empty brackets are text", "[S]\r\nCaption=Press [] now\r\n", {{L"s", L"caption", L"Press [] now"}}, 1, 0},
      {"only the last block of a section survives", "[Setup]\r\nA=1\r\n[Other]\r\nB=2\r\n[Setup]\r\nC=3\r\n",
       {{L"setup", L"a", L""}, {L"setup", L"c", L"3"}, {L"other", L"b", L"2"}}, 2, 0},
      {"a repeated key keeps the last value", "[Setup]\r\nA=1\r\nA=2\r\n", {{L"setup", L"a", L"2"}}, 1, 0},
      {"keys before a header and empty values are ignored", "k=v\r\n[S]\r\nA=\r\nB = 2 \r\n",
       {{L"s", L"a", L""}, {L"s", L"b", L"2"}}, 1, 0},
      {"=B ends the reading", "[S]\r\nA=1\r\n=B\r\nC=3\r\n", {{L"s", L"a", L"1"}, {L"s", L"c", L""}}, 1, 3},
      {"a header of blanks is ignored and the section stays", "[S]\r\n[   ]\r\nA=1\r\n", {{L"s", L"a", L"1"}}, 1, 0},
      {"header names are trimmed and lower-cased", "pre[ Text-Setup ]post\r\nKey=V\r\n", {{L"TEXT-SETUP", L"KEY", L"V"}}, 1, 0},
      {"the first ] counts", "[a]b]\r\nk=v\r\n", {{L"a", L"k", L"v"}}, 1, 0},
      {"a ] before the [ is no header", "][x]\r\n", {}, 0, 1},
      {"a lone [ ends the reading", "[S]\r\nA=1\r\n[\r\nB=2\r\n", {{L"s", L"a", L"1"}, {L"s", L"b", L""}}, 1, 3},
      {"a value keeps later equals signs", "[S]\r\nA=b=c\r\n", {{L"s", L"a", L"b=c"}}, 1, 0},
      {"a zero byte cuts an ANSI line", std::string("[S]\r\nA=1\0=junk\r\nB=2\r\n", 21), {{L"s", L"a", L"1"}, {L"s", L"b", L"2"}}, 1, 0},
      {"a line starting with a zero byte is empty in ANSI", std::string("[S]\r\n\0junk\r\nB=2\r\n", 17), {{L"s", L"b", L"2"}}, 1, 0},
      {"a zero unit cuts a UTF-16 line after the first two steps", Utf16(std::wstring(L"[S]\r\nA=1\0junk\r\n\0abc\r\nB=2\r\n", 26)),
       {{L"s", L"a", L"1"}, {L"s", L"b", L""}}, 1, 3},
      {"Unicode spaces are trimmed", Utf16(L"[S]\r\n\x3000Key\t=\x3000Value\xA0\r\n"), {{L"s", L"key", L"Value"}}, 1, 0},
      {"a UTF-8 mark is ordinary text before the header", "\xEF\xBB\xBF[Setup]\r\nA=1\r\n", {{L"setup", L"a", L"1"}}, 1, 0},
      {"one byte gives nothing", "[", {}, 0, 0},
      {"an odd last byte of UTF-16 is dropped", Utf16(L"[S]\r\nA=1") + "x", {{L"s", L"a", L"1"}}, 1, 0},
      {"unpaired surrogates stay as they are", Utf16(L"[S]\r\nA=\xD800x\xDC00\r\n"), {{L"s", L"a", L"\xD800x\xDC00"}}, 1, 0},
      {"no file content", "", {}, 0, 0},
  };
  for (const GrammarCase& c : cases) {
    const CIniFile ini(CIniFile::FromBytes{}, c.bytes);
    EXPECT_EQ(ini.GetSectionCount(), c.sections) << c.what;
    EXPECT_EQ(ini.StoppedAtLine(), c.stoppedAt) << c.what;
    for (const Lookup& l : c.lookups) {
      EXPECT_EQ(ini.GetValue(l.section, l.key), l.value)
          << c.what << ": [" << testsupport::Narrow(l.section) << "] " << testsupport::Narrow(l.key);
    }
  }
}

TEST(IniFileTest, AbsentEntriesShareOneEmptyString) {
  const CIniFile ini(CIniFile::FromBytes{}, "[S]\r\nA=1\r\n");
  const std::wstring& a = ini.GetValue(L"none", L"x");
  const std::wstring& b = ini.GetValue(L"S", L"none");
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(&a, &b);
  const CIniFile other(CIniFile::FromBytes{}, "");
  EXPECT_EQ(&other.GetValue(L"S", L"A"), &a);
}

TEST(IniFileTest, IndexedAccessFollowsOrdinalOrderOfLowerCaseNames) {
  const CIniFile ini(CIniFile::FromBytes{}, "[b]\r\nzeta=1\r\nAlpha=2\r\nbeta=3\r\n[A]\r\nk=v\r\n[_x]\r\nk=v\r\n");
  ASSERT_EQ(ini.GetSectionCount(), 3u);
  EXPECT_EQ(ini.GetSectionName(0), L"_x");  // '_' (0x5F) sorts before 'a' (0x61)
  EXPECT_EQ(ini.GetSectionName(1), L"a");
  EXPECT_EQ(ini.GetSectionName(2), L"b");
  EXPECT_EQ(ini.GetKeyCount(L"B"), 3u);
  EXPECT_EQ(ini.GetKeyCount(L"missing"), 0u);
  const wchar_t* keys[] = {L"alpha", L"beta", L"zeta"};
  const wchar_t* values[] = {L"2", L"3", L"1"};
  for (unsigned i = 0; i < 3; ++i) {
    std::wstring key, value;
    ASSERT_TRUE(ini.GetKeyAt(L"b", i, key, value)) << i;
    EXPECT_EQ(key, keys[i]);
    EXPECT_EQ(value, values[i]);
  }
  std::wstring key = L"kept", value = L"kept";
  EXPECT_FALSE(ini.GetKeyAt(L"b", 3, key, value));
  EXPECT_FALSE(ini.GetKeyAt(L"none", 0, key, value));
  EXPECT_EQ(key, L"kept");
  EXPECT_EQ(value, L"kept");
}

TEST(IniFileTest, FilesThatCannotBeReadGiveAnEmptyReader) {
  const std::wstring dir = testsupport::ScratchDirectory(L"ini");
  ASSERT_TRUE(win::CreateDirectoryW((dir + L"folder.ini").c_str(), nullptr));
  for (const std::wstring& path : {dir + L"missing.ini", dir + L"folder.ini", dir + L"no\\such\\dir.ini", std::wstring()}) {
    const CIniFile ini(path);
    EXPECT_EQ(ini.GetSectionCount(), 0u) << testsupport::Narrow(path);
  }
}

TEST(IniFileTest, ReadsAFileWhileAnotherProgramWritesIt) {
  const std::wstring dir = testsupport::ScratchDirectory(L"ini-shared");
  const std::wstring path = dir + L"driver.ini";
  ASSERT_TRUE(testsupport::WriteFileBytes(path, "[Driver_Win7]\r\nModem=Modem\\qxrmdm.inf\r\n"));
  win::HANDLE writer = win::CreateFileW(path.c_str(), win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                                        nullptr, win::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, win::INVALID_HANDLE_VALUE);
  const CIniFile ini(path);
  EXPECT_EQ(ini.GetValue(L"driver_win7", L"modem"), L"Modem\\qxrmdm.inf");
  win::CloseHandle(writer);
}

TEST(IniFileTest, VeryLongLinesAreReadWhole) {
  const std::string value(1 << 20, 'v');
  const CIniFile ini(CIniFile::FromBytes{}, "[S]\r\nK=" + value + "\r\nNext=1\r\n");
  EXPECT_EQ(ini.GetValue(L"s", L"k").size(), value.size());
  EXPECT_EQ(ini.GetValue(L"s", L"next"), L"1");
}

}  // namespace
