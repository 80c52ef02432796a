// Windows generation code and architecture.
#include "env/os_version.h"

#include "platform/module.h"
#include "platform/scoped.h"
#include "platform/version.h"

namespace {

bool g_architectureComputed = false;
bool g_is64Bit = false;

bool AskIs64BitWindows() {
  win::ScopedGeneric<win::LibraryTraits> kernel(win::LoadLibraryW(L"Kernel32.dll"));
  if (!kernel) return false;
  const auto getNativeSystemInfo =
      reinterpret_cast<win::PFN_GetNativeSystemInfo>(win::GetProcAddress(kernel.get(), "GetNativeSystemInfo"));
  if (!getNativeSystemInfo) return false;  // Windows 2000 and older
  win::SYSTEM_INFO info{};
  getNativeSystemInfo(&info);
  return info.wProcessorArchitecture == win::PROCESSOR_ARCHITECTURE_AMD64;
}

}  // namespace

int GetOsVersionCode() {
  win::OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  win::GetVersionExW(&info);  // on failure the zeroed fields give code 0
  switch (info.dwMajorVersion) {
    case 4:
      if (info.dwPlatformId == win::VER_PLATFORM_WIN32_WINDOWS) {
        if (info.dwMinorVersion == 10) return 1;
        if (info.dwMinorVersion == 90) return 2;
      }
      return 0;
    case 5:
      if (info.dwPlatformId == win::VER_PLATFORM_WIN32_NT) {
        if (info.dwMinorVersion == 0) return 3;
        if (info.dwMinorVersion == 1) return 4;
        if (info.dwMinorVersion == 2) return 5;
      }
      return 0;
    case 6:
      if (info.dwMinorVersion == 0) return 6;
      if (info.dwMinorVersion == 1) return 7;
      return 0;
    default:
      return 0;
  }
}

bool Is64BitWindows() {
  if (g_architectureComputed) return g_is64Bit;
  g_architectureComputed = true;
  g_is64Bit = AskIs64BitWindows();
  return g_is64Bit;
}

namespace env_testing {
void ResetArchitectureCache() {
  g_architectureComputed = false;
  g_is64Bit = false;
}
}  // namespace env_testing
