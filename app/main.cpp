// Drvsetup's entry point: "/i" installs, any other first argument uninstalls.
#include <clocale>
#include <cwchar>

#include "app/framework.h"
#include "app/installer.h"
#include "env/console.h"
#include "platform/module.h"
#include "platform/process.h"

int wmain(int argc, wchar_t* argv[]) {
  std::setlocale(LC_ALL, "");  // the user's default locale, before any output

  if (!TheApp().InitConsoleModule(win::GetModuleHandleW(nullptr), nullptr, win::GetCommandLineW(), 0)) {
    WriteConsoleWide(L"FatalError: MFC initialize fail\n");
    return 1;
  }
  if (argc < 2) {
    WriteConsoleNarrow("Usage:\n");
    WriteConsoleNarrow("Drvsetup.exe /i ------- for install\n");
    WriteConsoleNarrow("Drvsetup.exe /u ------- for uninstall\n");
    return 2;
  }
  const bool install = std::wcscmp(argv[1], L"/i") == 0;

  CUpdateInstaller installer(install);
  ExecuteInProgressWindow(installer.GetProgressHandle(), &InstallerWork, &installer);
  return 0;
}
