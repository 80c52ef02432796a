// Win32 forwarding: finding windows, their class and text, posting messages.
// The layer's headers come before win32.h: they declare names that windows.h makes macros.
#include "platform/window.h"

namespace {
// The layer's values, taken before windows.h turns their names into its macros.
constexpr unsigned kMessages[] = {win::WM_CLOSE, win::WM_COMMAND, win::BM_CLICK, win::BN_CLICKED};
constexpr auto kInvalidWindow = win::ERROR_INVALID_WINDOW_HANDLE;
}  // namespace

#include "platform/win32/win32.h"

static_assert(kMessages[0] == WM_CLOSE && kMessages[1] == WM_COMMAND && kMessages[2] == BM_CLICK &&
              kMessages[3] == BN_CLICKED);
static_assert(kInvalidWindow == ERROR_INVALID_WINDOW_HANDLE);
static_assert(sizeof(win::WPARAM) == sizeof(::WPARAM) && sizeof(win::LPARAM) == sizeof(::LPARAM));

namespace win {

namespace {
::HWND Native(HWND window) {
  return win32::As<::HWND>(window);
}
HWND Ours(::HWND window) {
  return win32::As<HWND>(window);
}
}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM context) {
  return ::EnumWindows(reinterpret_cast<::WNDENUMPROC>(proc), context);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM context) {
  return ::EnumChildWindows(Native(parent), reinterpret_cast<::WNDENUMPROC>(proc), context);
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
  return ::GetClassNameW(Native(window), buffer, size);
}
int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
  return ::GetWindowTextW(Native(window), buffer, size);
}
BOOL IsWindow(HWND window) {
  return ::IsWindow(Native(window));
}
BOOL IsWindowVisible(HWND window) {
  return ::IsWindowVisible(Native(window));
}
HWND GetParent(HWND window) {
  return Ours(::GetParent(Native(window)));
}
int GetDlgCtrlID(HWND window) {
  return ::GetDlgCtrlID(Native(window));
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(Native(window), message, wParam, lParam);
}

}  // namespace win
