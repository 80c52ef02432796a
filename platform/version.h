// Windows version and native system information.
#pragma once

#include "platform/types.h"

namespace win {

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

inline constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr WORD PROCESSOR_ARCHITECTURE_IA64 = 6;
inline constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;

struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};

struct SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};

/// GetVersionExW: fills `info` with the version Windows reports.
/// `info->dwOSVersionInfoSize` must be the size of OSVERSIONINFOW (or of the extended form).
/// Success: TRUE, all fields filled. Failure: FALSE, last error ERROR_INSUFFICIENT_BUFFER for a wrong
/// size field; `info` is left untouched.
BOOL GetVersionExW(OSVERSIONINFOW* info);

/// Signature of kernel32's GetNativeSystemInfo, which exists from Windows XP on and is looked up at
/// run time (GetProcAddress). It fills `info` with the processor architecture of the running Windows,
/// not that of the calling process.
using PFN_GetNativeSystemInfo = void(WINCALL*)(SYSTEM_INFO* info);

}  // namespace win
