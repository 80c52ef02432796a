// Simulated machine: installed drivers — binding packages to devices, removing devices, INF copies.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/types.h"

namespace sim {

class Machine;

/// The COM Name Arbiter's key. Its "ComDB" value (binary, 32 bytes a block) has bit n-1 set while
/// COMn is taken.
inline constexpr wchar_t kComNameArbiterKey[] = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";

/// The COM numbers the machine's ComDB holds taken, ascending.
std::vector<int> TakenComNumbers(const Machine& machine);

/// Marks COMn (1 to 4096) taken in the machine's ComDB.
void TakeComNumber(Machine& machine, int n);

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
