// The installer objects.
#include "app/installer.h"

#include "localization/language.h"

namespace {
// The sequences' results carry no meaning; they differ so that a record of the run tells them apart.
constexpr int kInstallRan = 1;
constexpr int kUninstallRan = 2;
}  // namespace

int CInstallerBase::Execute() {
  m_localizer.Load(GetLanguageFilePath());
  CFont* font = m_localizer.GetFont(L"Normal");
  ProgressDlg_SetFont(m_progress, font ? font->GetHandle() : nullptr);
  return m_install ? RunInstall() : RunUninstall();
}

int CInstallerBase::RunUninstall() { return kUninstallRan; }

int CUpdateInstaller::RunInstall() { return kInstallRan; }

int InstallerWork(void* context) { return static_cast<CProgressDlg*>(context)->Execute(); }
