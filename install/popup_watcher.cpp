// CPopupWatcher: loads the watcher library, starts, queries and stops its watches.
#include "install/popup_watcher.h"

#include <exception>

#include "components/progress_window.h"
#include "env/log.h"
#include "platform/thread.h"

namespace {

const wchar_t kLibraryError[] = L"PopupWatcher.dll not found or crashed";
const wchar_t kStopError[] = L"function StopWatchSignature or StopWatchWizard not difined";

// The library's exports take no arguments.
using Procedure = void (*)();
using HandleFunction = win::HANDLE (*)();
using CountFunction = int (*)();

template <class F>
F Lookup(win::HMODULE module, const char* name) {
  return reinterpret_cast<F>(win::GetProcAddress(module, name));
}

}  // namespace

CPopupWatcher::CPopupWatcher(const std::wstring& directory)
    : m_module(win::LoadLibraryW((directory + L"PopupWatcher.dll").c_str())),
      m_errorsInFlight(std::uncaught_exceptions()) {
  if (m_module) {
    const auto startWizard = Lookup<Procedure>(m_module.get(), "StartWatchWizard");
    const auto wizardThread = Lookup<HandleFunction>(m_module.get(), "WizardThreadHandle");
    const auto startSignature = Lookup<Procedure>(m_module.get(), "StartWatchSignature");
    // Never called: its presence is part of what makes the library one the program can use.
    const auto signatureHandle = Lookup<HandleFunction>(m_module.get(), "SignatureHandle");
    if (startWizard && wizardThread && startSignature && signatureHandle) {
      startWizard();
      startSignature();
      win::SetThreadPriority(wizardThread(), win::THREAD_PRIORITY_TIME_CRITICAL);
      win::SetThreadPriority(win::GetCurrentThread(), win::THREAD_PRIORITY_BELOW_NORMAL);
      m_started = true;
      return;
    }
  }
  m_module.reset();
  throw CWideTextError(kLibraryError);
}

CPopupWatcher::~CPopupWatcher() noexcept(false) {
  if (!m_started) return;
  const auto stopSignature = Lookup<Procedure>(m_module.get(), "StopWatchSignature");
  const auto stopWizard = Lookup<Procedure>(m_module.get(), "StopWatchWizard");
  if (stopSignature && stopWizard) {
    stopSignature();
    stopWizard();
    return;  // the module's owner unloads it
  }
  m_module.reset();
  if (std::uncaught_exceptions() > m_errorsInFlight) {
    WriteLog(L"%s", kStopError);
    return;
  }
  throw CWideTextError(kStopError);
}

int CPopupWatcher::GetWizardWindowCount() const {
  if (!m_module) return 0;
  const auto count = Lookup<CountFunction>(m_module.get(), "WizardWindowCount");
  return count ? count() : 0;
}
