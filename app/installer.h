// The installer objects: the progress window, the shared installer state and the install sequence.
#pragma once

#include "components/progress_window.h"
#include "localization/localizer.h"

/// Owns the progress window and declares the work it runs.
class CProgressDlg {
 public:
  CProgressDlg(const CProgressDlg&) = delete;
  CProgressDlg& operator=(const CProgressDlg&) = delete;

  /// Slot 0: the work run while the window is shown.
  virtual int Execute() = 0;

  ProgressHandle GetProgressHandle() const { return m_progress; }

 protected:
  CProgressDlg() : m_progress(ProgressDlg_Create()) {}
  ~CProgressDlg() { ProgressDlg_Destroy(m_progress); }

  ProgressHandle m_progress;
};

/// The shared installer state and the dispatch between installing and uninstalling.
class CInstallerBase : public CProgressDlg {
 public:
  /// Slot 0: loads the user's language, sets the window's font, runs the chosen sequence.
  int Execute() override;

  /// Slot 1: the install sequence.
  virtual int RunInstall() = 0;

  /// The uninstall sequence.
  int RunUninstall();

  bool IsInstall() const { return m_install; }

 protected:
  explicit CInstallerBase(bool install) : m_install(install) {}
  ~CInstallerBase() = default;

  bool m_install;
  CLocalizer m_localizer;
};

/// The concrete installer the entry point runs.
class CUpdateInstaller final : public CInstallerBase {
 public:
  explicit CUpdateInstaller(bool install) : CInstallerBase(install) {}
  ~CUpdateInstaller() = default;

  int RunInstall() override;

  /// Waits up to two minutes for a supported card in its composite form: prompts for the card when
  /// none is seen, and sends the switch command whenever the card shows its CD-ROM drive.
  bool WaitForCard();

  /// Loads a language file into the localizer (the work does this from the user's language).
  void LoadLanguage(const std::wstring& path) { m_localizer.Load(path); }
};

/// The work callback given to ProgressDlg_Excute: the context is the installer object.
int InstallerWork(void* context);
