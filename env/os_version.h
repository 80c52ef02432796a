// Which Windows the program runs on: the generation code and the architecture.
#pragma once

/// The Windows generation code: 1 Windows 98, 2 Me, 3 2000, 4 XP, 5 Server 2003 / XP x64,
/// 6 Vista, 7 Windows 7; 0 for every other release. Asks Windows on every call.
int GetOsVersionCode();

/// True on the x64 edition of Windows (native processor architecture AMD64). The first call asks
/// Windows; later calls answer from a process-wide cache.
bool Is64BitWindows();

namespace env_testing {
/// Forgets the architecture answer, so a test can run the first call again on another machine.
void ResetArchitectureCache();
}  // namespace env_testing
