// The console module's framework start-up.
#include "app/framework.h"

#include "platform/process.h"

CConsoleApp::~CConsoleApp() {
  if (m_threadSlot != win::TLS_OUT_OF_INDEXES) win::TlsFree(m_threadSlot);
}

bool CConsoleApp::InitConsoleModule(win::HMODULE module, win::HMODULE previous, const wchar_t* commandLine,
                                    int show) {
  (void)show;
  if (m_initialized || previous != nullptr || module != win::GetModuleHandleW(nullptr)) return false;
  wchar_t path[4] = {};
  if (win::GetModuleFileNameW(module, path, 4) == 0) return false;
  m_threadSlot = win::TlsAlloc();
  if (m_threadSlot == win::TLS_OUT_OF_INDEXES) return false;
  m_commandLine = commandLine;
  m_initialized = true;
  return true;
}

CConsoleApp& TheApp() {
  static CConsoleApp app;  // made on first use, before wmain asks for it
  return app;
}

namespace {
// Constructs the application object before the entry point, as the framework's global object is.
const bool g_appConstructed = (TheApp(), true);
}  // namespace
