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

}  // namespace win
