// Win32 forwarding: the process's command line and thread-local storage.
#include "platform/process.h"
#include "platform/win32/win32.h"

namespace win {

LPWSTR GetCommandLineW() { return ::GetCommandLineW(); }
DWORD TlsAlloc() { return ::TlsAlloc(); }
BOOL TlsFree(DWORD index) { return ::TlsFree(index); }

}  // namespace win
