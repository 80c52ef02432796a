// Win32 forwarding: finding windows, their class and text, posting messages.
// The layer's headers come before win32.h: they declare names that windows.h makes macros.
#include "platform/window.h"
#include "platform/win32/win32.h"

static_assert(win::WM_CLOSE == WM_CLOSE && win::WM_COMMAND == WM_COMMAND && win::BM_CLICK == BM_CLICK);
static_assert(win::BN_CLICKED == BN_CLICKED);
static_assert(win::ERROR_INVALID_WINDOW_HANDLE == ERROR_INVALID_WINDOW_HANDLE);
static_assert(sizeof(win::WPARAM) == sizeof(::WPARAM) && sizeof(win::LPARAM) == sizeof(::LPARAM));

namespace win {

namespace {
::HWND Native(HWND window) { return win32::As<::HWND>(window); }
HWND Ours(::HWND window) { return win32::As<HWND>(window); }
}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM context) {
  return ::EnumWindows(reinterpret_cast<::WNDENUMPROC>(proc), context);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM context) {
  return ::EnumChildWindows(Native(parent), reinterpret_cast<::WNDENUMPROC>(proc), context);
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) { return ::GetClassNameW(Native(window), buffer, size); }
int GetWindowTextW(HWND window, LPWSTR buffer, int size) { return ::GetWindowTextW(Native(window), buffer, size); }
BOOL IsWindow(HWND window) { return ::IsWindow(Native(window)); }
BOOL IsWindowVisible(HWND window) { return ::IsWindowVisible(Native(window)); }
HWND GetParent(HWND window) { return Ours(::GetParent(Native(window))); }
int GetDlgCtrlID(HWND window) { return ::GetDlgCtrlID(Native(window)); }

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(Native(window), message, wParam, lParam);
}

}  // namespace win
