// Win32 forwarding: code pages and character conversion.
#include "platform/win32/win32.h"

namespace win {

UINT GetACP() { return ::GetACP(); }
UINT GetOEMCP() { return ::GetOEMCP(); }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen) {
  return ::MultiByteToWideChar(codePage, flags, src, srcLen, dst, dstLen);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, BOOL* usedDefaultChar) {
  return ::WideCharToMultiByte(codePage, flags, src, srcLen, dst, dstLen, defaultChar,
                               reinterpret_cast<::BOOL*>(usedDefaultChar));
}

}  // namespace win

namespace win {

LANGID GetUserDefaultUILanguage() { return ::GetUserDefaultUILanguage(); }

BOOL GetStringTypeW(DWORD infoType, LPCWSTR src, int count, WORD* types) {
  return ::GetStringTypeW(infoType, src, count, types);
}

int LCMapStringW(LCID locale, DWORD flags, LPCWSTR src, int srcLen, LPWSTR dst, int dstLen) {
  return ::LCMapStringW(locale, flags, src, srcLen, dst, dstLen);
}

}  // namespace win
