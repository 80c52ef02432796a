// The installer objects.
#include "app/installer.h"

#include "device/card_cdrom.h"
#include "device/cdrom_switch.h"
#include "device/enumerator.h"
#include "localization/language.h"
#include "platform/clock.h"

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

namespace {
constexpr win::DWORD kSwitchPause = 1000;   // after sending the switch command
constexpr win::DWORD kPassPause = 200;      // between passes
constexpr win::DWORD kCardWaitLimit = 120000;
}  // namespace

bool CUpdateInstaller::WaitForCard() {
  std::wstring path;
  vecInstanceID ids;
  if (!FindCardCdromInterface(path) && !CollectCardCdromIDs(ids, true)) {
    ProgressDlg_SetMessage(m_progress, m_localizer.GetText(L"PlugAlert", L"Setup").c_str());
  }
  const win::DWORD start = win::GetTickCount();
  for (;;) {
    if (FindCardCdromInterface(path)) {
      win::BYTE command[260] = {};
      win::DWORD length = 0;
      BuildSwitchCommand(command, length);
      SendSwitchCommand(path, command, length);
      win::Sleep(kSwitchPause);
    }
    if (IsCompositeCardPresent()) return true;
    win::Sleep(kPassPause);
    // Unsigned difference: a tick count that wraps during the wait changes nothing.
    if (win::GetTickCount() - start > kCardWaitLimit) return false;
  }
}

int InstallerWork(void* context) { return static_cast<CProgressDlg*>(context)->Execute(); }
