// INF files: the setup information files of driver packages, read through SetupAPI.
#pragma once

#include "platform/types.h"

namespace win {

using HINF = void*;

/// A place in an open INF file: a line of a section. Only the calls below read its fields.
struct INFCONTEXT {
  void* Inf;
  void* CurrentInf;
  UINT Section;
  UINT Line;
};

inline constexpr DWORD INF_STYLE_WIN4 = 0x2;

inline constexpr DWORD ERROR_GENERAL_SYNTAX = 0xE0000003;
inline constexpr DWORD ERROR_WRONG_INF_STYLE = 0xE0000100;
inline constexpr DWORD ERROR_SECTION_NOT_FOUND = 0xE0000101;
inline constexpr DWORD ERROR_LINE_NOT_FOUND = 0xE0000102;

// Field text is what the file holds after Windows' INF rules: comments (from ';') and the spaces
// around fields dropped, quotes removed ("" stands for one quote), %name% replaced by its [Strings]
// entry, a line ending in '\' continued on the next. Section and key names match without regard to
// case.

/// SetupOpenInfFileW: opens the INF file `name` (a path; `infClass` must be null; `style`
/// INF_STYLE_WIN4). Success: the handle. Failure: INVALID_HANDLE_VALUE with last error
/// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND (missing), ERROR_ACCESS_DENIED (a directory),
/// ERROR_WRONG_INF_STYLE (no [Version] section with a Signature), ERROR_GENERAL_SYNTAX (a malformed
/// line, its number in `*errorLine` when given).
HINF SetupOpenInfFileW(LPCWSTR name, LPCWSTR infClass, DWORD style, UINT* errorLine);

/// SetupCloseInfFile: closes an open INF file. A handle that is not one is ignored.
void SetupCloseInfFile(HINF inf);

/// SetupFindFirstLineW: the first line of `section` (with `key`: the first line with that key).
/// Failure: FALSE, ERROR_SECTION_NOT_FOUND or ERROR_LINE_NOT_FOUND; `*context` untouched.
BOOL SetupFindFirstLineW(HINF inf, LPCWSTR section, LPCWSTR key, INFCONTEXT* context);

/// SetupFindNextLine: the line after `in` in the same section into `*out`. Past the last line:
/// FALSE, ERROR_LINE_NOT_FOUND.
BOOL SetupFindNextLine(const INFCONTEXT* in, INFCONTEXT* out);

/// SetupGetFieldCount: the number of fields of the line, its key not counted. Failure: 0.
DWORD SetupGetFieldCount(const INFCONTEXT* context);

/// SetupGetStringFieldW: field `index` of the line (0: its key; 1 and on: the fields after '=').
/// No buffer: TRUE and `*required` (characters with the terminator). Buffer too small: FALSE,
/// ERROR_INSUFFICIENT_BUFFER, `*required` set. A field the line lacks: FALSE, ERROR_INVALID_PARAMETER.
BOOL SetupGetStringFieldW(const INFCONTEXT* context, DWORD index, LPWSTR buffer, DWORD size, DWORD* required);

/// Owner traits for an open INF file (SetupCloseInfFile on release).
struct InfTraits {
  using Handle = HINF;
  static Handle InvalidValue() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle inf) { SetupCloseInfFile(inf); }
};

}  // namespace win
