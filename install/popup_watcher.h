// CPopupWatcher: the program's scoped owner of the pop-up watcher library (PopupWatcher.dll).
#pragma once

#include <string>

#include "platform/module.h"
#include "platform/scoped.h"

/// While it lives, the watcher library loaded from a directory watches for the system's
/// new-hardware windows and driver-signature warnings on threads of its own.
class CPopupWatcher {
 public:
  /// Loads "PopupWatcher.dll" from `directory` (ending in a backslash), looks up StartWatchWizard,
  /// WizardThreadHandle, StartWatchSignature and SignatureHandle, starts the wizard watch and then
  /// the signature watch, and sets the wizard watch's thread to time-critical and the calling
  /// thread to below-normal priority (neither is restored later). Throws CWideTextError "PopupWatcher.dll
  /// not found or crashed" when the library cannot be loaded or lacks one of the four; then nothing
  /// was started and the library is unloaded again.
  explicit CPopupWatcher(const std::wstring& directory);

  /// Stops the signature watch and then the wizard watch, and unloads the library. When it lacks
  /// StopWatchSignature or StopWatchWizard nothing is stopped, the library is unloaded all the same
  /// and CWideTextError "function StopWatchSignature or StopWatchWizard not difined" is thrown —
  /// unless another error is already leaving the owner's scope: then the text goes to the
  /// diagnostic log instead, as a second error in flight would end the process.
  ~CPopupWatcher() noexcept(false);

  CPopupWatcher(const CPopupWatcher&) = delete;
  CPopupWatcher& operator=(const CPopupWatcher&) = delete;

  /// The number of new-hardware windows the wizard watch has seen (WizardWindowCount, looked up on
  /// every call); 0 when the library lacks that export.
  int GetWizardWindowCount() const;

 private:
  win::ScopedGeneric<win::LibraryTraits> m_module;
  bool m_started = false;
  int m_errorsInFlight;  // errors already leaving when the owner was made
};
