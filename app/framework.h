// The application framework's start-up for a console module, in place of the class library's own.
#pragma once

#include "platform/module.h"

/// The single process-wide application object, constructed before the entry point runs.
class CConsoleApp {
 public:
  CConsoleApp() = default;
  CConsoleApp(const CConsoleApp&) = delete;
  CConsoleApp& operator=(const CConsoleApp&) = delete;
  ~CConsoleApp();

  /// Prepares the application object for a console module: the module must be the running
  /// executable, and the framework's per-thread state needs one thread-local storage slot.
  /// False when either cannot be had.
  bool InitConsoleModule(win::HMODULE module, win::HMODULE previous, const wchar_t* commandLine, int show);

  const wchar_t* GetCommandLine() const { return m_commandLine; }

 private:
  win::DWORD m_threadSlot = 0xFFFFFFFF;
  const wchar_t* m_commandLine = nullptr;
  bool m_initialized = false;
};

CConsoleApp& TheApp();
