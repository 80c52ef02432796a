// UTF-16 text held in wchar_t (one code unit per element), converted for the host and compared as Windows does.
#pragma once

#include <string>
#include <string_view>

namespace sim {

/// UTF-16 units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

/// UTF-8 to UTF-16 units; invalid bytes become U+FFFD.
std::wstring FromUtf8(std::string_view text);

/// The upper-case form of one UTF-16 unit, by the simple Unicode mapping Windows' file system uses.
wchar_t UpcaseUnit(wchar_t unit);

/// The lower-case form of one UTF-16 unit, by the simple Unicode mapping.
wchar_t DowncaseUnit(wchar_t unit);

/// The CT_CTYPE1 character-type bits (C1_UPPER, C1_SPACE, ...) of one UTF-16 unit.
unsigned short CharType1(wchar_t unit);

/// Case-insensitive equality of two names, unit by unit.
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

/// Lower-cased copy.
std::wstring Downcase(std::wstring_view text);

/// Upper-cased copy.
std::wstring Upcase(std::wstring_view text);

}  // namespace sim
