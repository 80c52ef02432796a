// Code page conversion in the code pages the language files use.
#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/nls.h"

namespace {

std::wstring ToWide(win::UINT cp, const std::string& bytes) {
  const int n = win::MultiByteToWideChar(cp, win::MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) win::MultiByteToWideChar(cp, win::MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string ToBytes(win::UINT cp, const std::wstring& text) {
  const int n = win::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) win::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

struct CodePageCase {
  win::UINT cp;
  std::string bytes;
  std::wstring text;
};

TEST(NlsTest, CodePagesConvertBothWays) {
  const CodePageCase cases[] = {
      {1252, "caf\xe9 \x80", L"caf\xe9 \x20ac"},
      {1250, "\x8a" "koda", L"\x160koda"},
      {1251, "\xcf\xf0\xe8\xe2\xe5\xf2", L"\x41f\x440\x438\x432\x435\x442"},
      {936, "\xd5\xd2\xb5\xbd", L"\x627e\x5230"},
      {950, "\xa7\xe4\xa8\xec", L"\x627e\x5230"},
      {932, "\x93\xfa\x96\x7b", L"\x65e5\x672c"},
      {949, "\xc7\xd1\xb1\xb9", L"\xd55c\xad6d"},
      {65001, "\xe6\x89\xbe\xf0\x9f\x98\x80", L"\x627e\xd83d\xde00"},
      {1252, "plain ASCII", L"plain ASCII"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ToWide(cases[i].cp, cases[i].bytes), cases[i].text) << "row " << i << ", code page " << cases[i].cp;
    EXPECT_EQ(ToBytes(cases[i].cp, cases[i].text), cases[i].bytes) << "row " << i << ", code page " << cases[i].cp;
  }
}

TEST(NlsTest, CharactersACodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(ToBytes(1252, L"\x627e!"), "?!");
  EXPECT_EQ(ToBytes(1251, L"\x627e"), "?");
}

TEST(NlsTest, BufferRulesAndBadArguments) {
  wchar_t small[2];
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::MultiByteToWideChar(1252, 0, "abc", 3, small, 2), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(win::MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4);  // with the terminator
  win::SetLastError(0xDEADBEEF);
  EXPECT_EQ(win::MultiByteToWideChar(1252, 0, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
  EXPECT_NE(win::GetACP(), 0u);
}

}  // namespace
