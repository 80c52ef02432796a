// Text helpers shared by the settings-file reader and the localizer.
#pragma once

#include <string>

/// Lower-cased copy, by the rules of the user's locale (LCMapStringW with LOCALE_USER_DEFAULT).
std::wstring LowerCase(const std::wstring& text);

/// True for the characters the reader trims: U+0009 to U+000D, U+0020, U+00A0, and characters above
/// U+00FF that the system classifies as spaces (C1_SPACE), such as U+3000.
bool IsTrimSpace(wchar_t c);

/// Copy without the trim spaces at both ends.
std::wstring TrimSpaces(const std::wstring& text);

/// The scanf "%d" reading: leading white space, an optional sign, decimal digits up to the first
/// other character; 0 when there are none.
long ReadDecimal(const std::wstring& text);

/// The scanf "%x" reading: leading white space, an optional sign, an optional 0x or 0X, hexadecimal
/// digits up to the first other character; 0 when there are none.
unsigned long ReadHexadecimal(const std::wstring& text);
