// Windows-style wide formatting: the conversions the system's log formats use, and cutting.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "env/wformat.h"
#include "tests/support/scratch.h"

namespace {

std::wstring Format(std::size_t capacity, const wchar_t* format, ...) {
  std::wstring buffer(capacity + 1, L'#');
  va_list args;
  va_start(args, format);
  FormatWide(buffer.data(), capacity, format, args);
  va_end(args);
  EXPECT_EQ(buffer[capacity], L'#') << "wrote past the capacity";
  if (capacity == 0) return {};
  const std::wstring text(buffer.c_str());
  return text;
}

TEST(FormatWideTest, ConversionsFollowTheWindowsWideConventions) {
  struct Case {
    std::wstring got;
    const wchar_t* expected;
  } const cases[] = {
      {Format(64, L"%s|%d", L"wide", 42), L"wide|42"},
      {Format(64, L"%S|%hs", "narrow", "also"), L"narrow|also"},
      {Format(64, L"%ls|%ws", L"l", L"w"), L"l|w"},
      {Format(64, L"%d %d %i", -7, 0, 2147483647), L"-7 0 2147483647"},
      {Format(64, L"%u %x %X %o", 4294967295u, 255u, 255u, 8u), L"4294967295 ff FF 10"},
      {Format(64, L"%5d|%-5d|%05d", 42, 42, 42), L"   42|42   |00042"},
      {Format(64, L"%.3s|%8s|%-4s|", L"abcdef", L"r", L"l"), L"abc|       r|l   |"},
      {Format(64, L"%c%c%C", L'x', 0x4E2D, 'n'), L"x\x4E2Dn"},
      {Format(64, L"%I64d %lld %I64x", -5LL, 6LL, 0x1FFFFFFFFLL), L"-5 6 1ffffffff"},
      {Format(64, L"100%% %s", static_cast<const wchar_t*>(nullptr)), L"100% (null)"},
      {Format(64, L"%+d % d %#x %#o", 3, 3, 255u, 8u), L"+3  3 0xff 010"},
      {Format(64, L"%*d|%.*s", 4, 1, 2, L"xyz"), L"   1|xy"},
      {Format(64, L"%.2f %e", 1.005, 2.0), L"1.00 2.000000e+00"},
      {Format(64, L"\x627e\x5230%d\x4e2a\x65b0\x786c\x4ef6\n", 3), L"\x627e\x5230" L"3\x4e2a\x65b0\x786c\x4ef6\n"},
      {Format(64, L"tail %"), L"tail %"},
      {Format(64, L"%q"), L"%q"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].got, cases[i].expected) << "row " << i << ": " << testsupport::Narrow(cases[i].got);
  }
}

TEST(FormatWideTest, TextLongerThanTheBufferIsCutAndTerminated) {
  EXPECT_EQ(Format(4, L"%s", L"abcdef"), L"abc");
  EXPECT_EQ(Format(7, L"%s", L"abcdef"), L"abcdef");
  EXPECT_EQ(Format(6, L"%s", L"abcdef"), L"abcde");
  EXPECT_EQ(Format(1, L"%d", 123), L"");
  EXPECT_EQ(Format(0, L"%d", 123), L"");
}

}  // namespace
