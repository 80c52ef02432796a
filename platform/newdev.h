// Driver updates of Plug and Play devices (newdev.dll).
#pragma once

#include "platform/error.h"
#include "platform/types.h"

namespace win {

inline constexpr DWORD INSTALLFLAG_FORCE = 0x1;
inline constexpr DWORD INSTALLFLAG_READONLY = 0x2;
inline constexpr DWORD INSTALLFLAG_NONINTERACTIVE = 0x4;

inline constexpr DWORD ERROR_CANCELLED = 1223;

/// UpdateDriverForPlugAndPlayDevicesW: installs the driver of the INF `fullInfPath` on every present
/// device that lists `hardwareId` among its hardware or compatible IDs (with INSTALLFLAG_FORCE even
/// over a better driver), copying the INF into the Windows INF directory. `*rebootRequired` (when
/// given) says whether Windows must restart for the driver to take effect; `window` may be null.
/// Success: TRUE. Failure: FALSE with last error ERROR_INVALID_PARAMETER (no ID), ERROR_INVALID_FLAGS,
/// ERROR_FILE_NOT_FOUND (no INF), ERROR_NO_SUCH_DEVINST (no present device with that ID),
/// ERROR_NO_MORE_ITEMS (the INF has no driver for it), ERROR_IN_WOW64 (a 32-bit caller on 64-bit
/// Windows), or what the installation itself failed with (ERROR_CANCELLED when the user refused an
/// unsigned driver, ...).
BOOL UpdateDriverForPlugAndPlayDevicesW(void* window, LPCWSTR hardwareId, LPCWSTR fullInfPath, DWORD flags,
                                        BOOL* rebootRequired);

}  // namespace win
