// National language support: code pages and character conversion.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_UTF8 = 65001;

inline constexpr DWORD MB_PRECOMPOSED = 0x1;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;

/// GetACP: the system ANSI code page. Never fails.
UINT GetACP();

/// GetOEMCP: the system OEM code page. Never fails.
UINT GetOEMCP();

/// MultiByteToWideChar: converts `srcLen` bytes (-1: up to and including the terminating zero) in
/// `codePage` to UTF-16. With `dstLen` 0 only the needed count is returned. Bytes invalid in the code
/// page become the code page's replacement character (U+FFFD or its default), unless
/// MB_ERR_INVALID_CHARS is given. Success: the count of units written (or needed).
/// Failure: 0, last error ERROR_INSUFFICIENT_BUFFER (output untouched beyond `dstLen`),
/// ERROR_INVALID_PARAMETER (unknown code page, bad arguments), ERROR_NO_UNICODE_TRANSLATION.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen);

/// WideCharToMultiByte: converts `srcLen` UTF-16 units (-1: up to and including the terminating zero)
/// to `codePage`. Characters the code page lacks become `*defaultChar` ('?' when null), and
/// `*usedDefaultChar` (when given) tells whether that happened; both must be null for CP_UTF8.
/// Success and failure as for MultiByteToWideChar.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, BOOL* usedDefaultChar);

using LANGID = WORD;
using LCID = DWORD;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr DWORD LCMAP_LOWERCASE = 0x00000100;
inline constexpr DWORD LCMAP_UPPERCASE = 0x00000200;

inline constexpr DWORD CT_CTYPE1 = 1;
inline constexpr WORD C1_UPPER = 0x0001;
inline constexpr WORD C1_LOWER = 0x0002;
inline constexpr WORD C1_DIGIT = 0x0004;
inline constexpr WORD C1_SPACE = 0x0008;
inline constexpr WORD C1_PUNCT = 0x0010;
inline constexpr WORD C1_CNTRL = 0x0020;
inline constexpr WORD C1_BLANK = 0x0040;
inline constexpr WORD C1_XDIGIT = 0x0080;
inline constexpr WORD C1_ALPHA = 0x0100;
inline constexpr WORD C1_DEFINED = 0x0200;

/// GetUserDefaultUILanguage: the current user's user-interface language. Never fails.
LANGID GetUserDefaultUILanguage();

/// GetStringTypeW: character-type bits for each of `count` units (-1: up to the terminator) of `src`
/// into `types`. Only CT_CTYPE1 is supported. Success: TRUE. Failure: FALSE, last error
/// ERROR_INVALID_PARAMETER (another info type, null pointers, a count of 0); `types` untouched.
BOOL GetStringTypeW(DWORD infoType, LPCWSTR src, int count, WORD* types);

/// LCMapStringW: maps `srcLen` units (-1: up to and including the terminator) to lower or upper case
/// (LCMAP_LOWERCASE / LCMAP_UPPERCASE) by the rules of `locale`. With `dstLen` 0 only the needed
/// count is returned. Success: the count written (or needed). Failure: 0, last error
/// ERROR_INSUFFICIENT_BUFFER or ERROR_INVALID_PARAMETER (other flags, bad arguments).
int LCMapStringW(LCID locale, DWORD flags, LPCWSTR src, int srcLen, LPWSTR dst, int dstLen);

}  // namespace win
