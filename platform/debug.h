// Debugger output.
#pragma once

#include "platform/types.h"

namespace win {

/// OutputDebugStringW: hands `text` to an attached debugger (the simulated machine records it).
/// No result; the last error is not changed.
void OutputDebugStringW(LPCWSTR text);

}  // namespace win
