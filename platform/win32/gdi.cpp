// Win32 forwarding: GDI and MulDiv.
#include <cstddef>

#include "platform/gdi.h"
#include "platform/win32/win32.h"

static_assert(sizeof(win::LOGFONTW) == sizeof(::LOGFONTW) && sizeof(win::LOGFONTW) == 92);
static_assert(offsetof(win::LOGFONTW, lfFaceName) == offsetof(::LOGFONTW, lfFaceName));
static_assert(sizeof(win::POINT) == sizeof(::POINT));

namespace win {

HDC GetDC(HWND window) { return win32::As<HDC>(::GetDC(win32::As<::HWND>(window))); }
int ReleaseDC(HWND window, HDC dc) { return ::ReleaseDC(win32::As<::HWND>(window), win32::As<::HDC>(dc)); }
HGDIOBJ GetCurrentObject(HDC dc, UINT type) { return ::GetCurrentObject(win32::As<::HDC>(dc), type); }
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) { return ::GetObjectW(object, size, buffer); }
HFONT CreateFontIndirectW(const LOGFONTW* font) {
  return win32::As<HFONT>(::CreateFontIndirectW(reinterpret_cast<const ::LOGFONTW*>(font)));
}
BOOL DeleteObject(HGDIOBJ object) { return ::DeleteObject(object); }
int GetDeviceCaps(HDC dc, int index) { return ::GetDeviceCaps(win32::As<::HDC>(dc), index); }
BOOL DPtoLP(HDC dc, POINT* points, int count) {
  return ::DPtoLP(win32::As<::HDC>(dc), reinterpret_cast<::POINT*>(points), count);
}
int MulDiv(int number, int numerator, int denominator) { return ::MulDiv(number, numerator, denominator); }

}  // namespace win
