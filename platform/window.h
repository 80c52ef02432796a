// Windows on the desktop: finding them, reading their class and text, posting messages to them.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace win {

struct HWND__;
using HWND = HWND__*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

/// Called once per window found; returning FALSE ends the enumeration.
using WNDENUMPROC = BOOL(WINCALL*)(HWND window, LPARAM context);

inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr WORD BN_CLICKED = 0;

inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

/// MAKEWPARAM: the low and high words of a message's first parameter.
inline constexpr WPARAM MakeWParam(WORD low, WORD high) {
  return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

/// EnumWindows: calls `proc` for every top-level window, top of the Z order first, until it
/// returns FALSE. Returns TRUE when every window was passed, FALSE when `proc` ended it.
BOOL EnumWindows(WNDENUMPROC proc, LPARAM context);

/// EnumChildWindows: calls `proc` for every descendant of `parent` (children, then their children,
/// depth first), until it returns FALSE. The result carries no meaning.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM context);

/// GetClassNameW: the window's class name, cut to `size` - 1 characters and terminated.
/// Success: the number of characters copied. Failure: 0, last error ERROR_INVALID_WINDOW_HANDLE
/// (the buffer is left untouched) or ERROR_INSUFFICIENT_BUFFER (`size` below 1).
int GetClassNameW(HWND window, LPWSTR buffer, int size);

/// GetWindowTextW: the window's title (a control's text), cut to `size` - 1 characters and
/// terminated. Returns the number of characters copied; 0 for an empty title or a failure (last
/// error ERROR_INVALID_WINDOW_HANDLE; the buffer then holds an empty text when `size` > 0).
int GetWindowTextW(HWND window, LPWSTR buffer, int size);

/// IsWindow: TRUE while the window exists. Never fails.
BOOL IsWindow(HWND window);

/// IsWindowVisible: TRUE when the window and all its ancestors are visible. Never fails.
BOOL IsWindowVisible(HWND window);

/// GetParent: the window's parent (null for a top-level window without owner). Failure: null, last
/// error ERROR_INVALID_WINDOW_HANDLE.
HWND GetParent(HWND window);

/// GetDlgCtrlID: a child window's control id. Failure or top-level window: 0 (last error
/// ERROR_INVALID_WINDOW_HANDLE for a window that does not exist).
int GetDlgCtrlID(HWND window);

/// PostMessageW: puts the message in the queue of the window's thread and returns at once.
/// Success: TRUE. Failure: FALSE, last error ERROR_INVALID_WINDOW_HANDLE.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win
