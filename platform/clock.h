// The system tick count and sleeping.
#pragma once

#include "platform/types.h"

namespace win {

/// GetTickCount: milliseconds since the system started, wrapping at 2^32. Never fails.
DWORD GetTickCount();

/// Sleep: suspends the calling thread for at least `milliseconds` (0 gives up the time slice).
/// On the simulated machine's virtual clock the tick count advances by that amount at once.
void Sleep(DWORD milliseconds);

}  // namespace win
