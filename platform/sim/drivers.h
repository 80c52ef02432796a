// Simulated machine: installed drivers — binding packages to devices, removing devices, INF copies.
#pragma once

#include <cstddef>
#include <string>

#include "platform/types.h"

namespace sim {

/// The machine's Windows directory ("C:\WINNT" on Windows 2000 and NT 4, else "C:\WINDOWS").
std::wstring WindowsDirectory();

/// Removes device `index` of the machine's tree with its hardware and driver keys (DIF_REMOVE).
void RemoveDevice(std::size_t index);

/// The registry path of a device's driver key ("{guid}\0003" below Control\Class).
std::wstring DriverKeyPath(const std::wstring& driver);

/// The registry path of a device's hardware key (below Enum).
std::wstring EnumKeyPath(const std::wstring& instanceId);

/// SetupUninstallOEMInfW as the machine's setupapi.dll exports it from Windows XP on.
win::BOOL WINCALL SimSetupUninstallOEMInfW(win::LPCWSTR infName, win::DWORD flags, void* reserved);

}  // namespace sim
