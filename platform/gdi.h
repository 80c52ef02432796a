// GDI: the screen's device context, fonts and their logical sizes.
#pragma once

#include "platform/types.h"

namespace win {

struct HWND__;
using HWND = HWND__*;
struct HDC__;
using HDC = HDC__*;
struct HFONT__;
using HFONT = HFONT__*;
using HGDIOBJ = void*;

inline constexpr UINT OBJ_FONT = 6;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr LONG FW_DONTCARE = 0;
inline constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
};

struct POINT {
  LONG x;
  LONG y;
};

/// GetDC: a device context for `window` (null: the whole screen). Failure: null.
HDC GetDC(HWND window);

/// ReleaseDC: gives a device context from GetDC back. Result 1 when released, 0 otherwise.
int ReleaseDC(HWND window, HDC dc);

/// GetCurrentObject: the object of `type` (OBJ_FONT, ...) selected into `dc`. Failure: null.
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

/// GetObjectW: copies at most `size` bytes of the object's description (a LOGFONTW for a font, 92
/// bytes) to `buffer`; with a null buffer only the size is returned. Result: bytes copied (or the
/// size); 0 on failure (not a GDI object), `buffer` untouched.
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

/// CreateFontIndirectW: a logical font as `font` describes it (GDI chooses a face when the named one
/// is missing). Failure: null.
HFONT CreateFontIndirectW(const LOGFONTW* font);

/// DeleteObject: deletes a GDI object (stock objects stay). Success: TRUE. Failure: FALSE.
BOOL DeleteObject(HGDIOBJ object);

/// GetDeviceCaps: a capability of the device (LOGPIXELSY: dots per inch vertically).
int GetDeviceCaps(HDC dc, int index);

/// DPtoLP: converts `count` points from device to logical units in place. Failure: FALSE.
BOOL DPtoLP(HDC dc, POINT* points, int count);

/// MulDiv (kernel32): number * numerator / denominator, rounded to the nearest integer (halves away
/// from zero); -1 when the denominator is 0 or the result does not fit in an int.
int MulDiv(int number, int numerator, int denominator);

/// Owner traits for a font (DeleteObject on release).
struct FontTraits {
  using Handle = HFONT;
  static Handle InvalidValue() { return nullptr; }
  static void Free(Handle font) { DeleteObject(font); }
};

/// Owner traits for a screen device context from GetDC(nullptr) (ReleaseDC on release).
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle InvalidValue() { return nullptr; }
  static void Free(Handle dc) { ReleaseDC(nullptr, dc); }
};

}  // namespace win
