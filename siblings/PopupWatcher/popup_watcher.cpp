// PopupWatcher: watches the desktop, each watch on a thread of its own, for the system's
// new-hardware windows (each is counted once and closed: the program installs the drivers itself)
// and its driver-signature warnings (each is accepted). Nothing else on the desktop is touched.
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/handle.h"
#include "platform/module.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "siblings/PopupWatcher/window_rules.h"

#ifndef POPUP_WATCHER_API
#define POPUP_WATCHER_API
#endif

namespace {

constexpr win::DWORD kLookInterval = 50;  // ms between two looks at the desktop
constexpr win::DWORD kStopLimit = 10000;  // ms a stop waits for its thread to end

struct Watch {
  win::HANDLE thread = nullptr;
  win::HANDLE stop = nullptr;      // set: the thread ends
  win::HMODULE library = nullptr;  // the thread's own reference to this library
  std::vector<win::HWND> handled;  // windows already handled; only the watch's thread uses it
};

Watch g_wizard;
Watch g_signature;
std::atomic<int> g_wizardWindows{0};

// A reference to this library for a watch thread, so that the library stays loaded until the
// thread has left it, even when its owner unloads it before the watch was stopped.
win::HMODULE HoldLibrary() {
  const win::HMODULE self = win::GetModuleHandleW(L"PopupWatcher.dll");
  wchar_t path[1024];
  if (!self) return nullptr;
  const win::DWORD n = win::GetModuleFileNameW(self, path, 1024);
  if (n == 0 || n >= 1024) return nullptr;
  return win::LoadLibraryW(path);
}

// The new top-level windows since the last look, and forgets handled windows that are gone.
std::vector<win::HWND> NewWindows(Watch& watch) {
  const std::vector<win::HWND> all = popup::ListWindows(nullptr);
  std::erase_if(watch.handled, [](win::HWND w) { return !win::IsWindow(w); });
  std::vector<win::HWND> fresh;
  for (win::HWND w : all) {
    if (std::find(watch.handled.begin(), watch.handled.end(), w) == watch.handled.end()) fresh.push_back(w);
  }
  return fresh;
}

void LookForWizards(Watch& watch) {
  for (win::HWND window : NewWindows(watch)) {
    if (!popup::Matches(window, popup::WizardRules(), nullptr)) continue;
    watch.handled.push_back(window);
    ++g_wizardWindows;
    win::PostMessageW(window, win::WM_CLOSE, 0, 0);  // a dialog takes it as Cancel
  }
}

void LookForWarnings(Watch& watch) {
  for (win::HWND window : NewWindows(watch)) {
    win::HWND button = nullptr;
    if (!popup::Matches(window, popup::SignatureRules(), &button)) continue;
    watch.handled.push_back(window);
    // What a click on the button tells its parent (a task dialog's links sit in a sink window).
    const int id = win::GetDlgCtrlID(button);
    win::PostMessageW(win::GetParent(button), win::WM_COMMAND,
                      win::MakeWParam(static_cast<win::WORD>(id), win::BN_CLICKED),
                      reinterpret_cast<win::LPARAM>(button));
  }
}

template <void (*Look)(Watch&)>
win::DWORD WINCALL RunWatch(win::LPVOID parameter) {
  Watch& watch = *static_cast<Watch*>(parameter);
  do {
    Look(watch);
  } while (win::WaitForSingleObject(watch.stop, kLookInterval) == win::WAIT_TIMEOUT);
  if (watch.library) win::FreeLibraryAndExitThread(watch.library, 0);
  return 0;
}

void Start(Watch& watch, win::LPTHREAD_START_ROUTINE run) {
  if (watch.thread) return;
  watch.stop = win::CreateEventW(nullptr, win::TRUE, win::FALSE, nullptr);
  if (!watch.stop) return;
  watch.handled.clear();
  watch.library = HoldLibrary();
  watch.thread = win::CreateThread(nullptr, 0, run, &watch, 0, nullptr);
  if (watch.thread) return;
  if (watch.library) win::FreeLibrary(watch.library);
  win::CloseHandle(watch.stop);
  watch = Watch{};
}

void Stop(Watch& watch) {
  if (!watch.thread) return;
  win::SetEvent(watch.stop);
  // A thread that does not end in time keeps its handles and its reference to the library, and
  // ends by itself when it next looks at its stop event.
  if (win::WaitForSingleObject(watch.thread, kStopLimit) != win::WAIT_OBJECT_0) return;
  win::CloseHandle(watch.thread);
  win::CloseHandle(watch.stop);
  watch = Watch{};
}

}  // namespace

extern "C" {

/// Starts the watch for new-hardware windows (again after a stop; nothing while it runs).
POPUP_WATCHER_API void StartWatchWizard() {
  if (!g_wizard.thread) g_wizardWindows = 0;
  Start(g_wizard, &RunWatch<LookForWizards>);
}

/// The thread of the wizard watch; null while it is not running.
POPUP_WATCHER_API win::HANDLE WizardThreadHandle() {
  return g_wizard.thread;
}

/// Starts the watch for driver-signature warnings.
POPUP_WATCHER_API void StartWatchSignature() {
  Start(g_signature, &RunWatch<LookForWarnings>);
}

// The test builds leave single exports out (POPUP_WATCHER_WITHOUT_<name>), to show how the
// program copes with a library that lacks them.
#ifndef POPUP_WATCHER_WITHOUT_SignatureHandle
/// The thread of the signature watch; null while it is not running.
POPUP_WATCHER_API win::HANDLE SignatureHandle() {
  return g_signature.thread;
}
#endif

/// Stops the signature watch: returns once its thread has ended (or after 10 s).
POPUP_WATCHER_API void StopWatchSignature() {
  Stop(g_signature);
}

#ifndef POPUP_WATCHER_WITHOUT_StopWatchWizard
/// Stops the wizard watch: returns once its thread has ended (or after 10 s).
POPUP_WATCHER_API void StopWatchWizard() {
  Stop(g_wizard);
}
#endif

#ifndef POPUP_WATCHER_WITHOUT_WizardWindowCount
/// The number of new-hardware windows the wizard watch has seen since it was started.
POPUP_WATCHER_API int WizardWindowCount() {
  return g_wizardWindows;
}
#endif

}  // extern "C"
