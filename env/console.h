// Console output: wide and narrow text on standard output, each line end written as CR LF.
#pragma once

#include <string_view>

/// Writes wide text to standard output, converted to the console's code page. Returns false once a
/// write has failed; after that nothing more is written (the stream stays failed).
bool WriteConsoleWide(std::wstring_view text);

/// Writes single-byte text to standard output as it is. Shares the failed state with WriteConsoleWide.
bool WriteConsoleNarrow(std::string_view text);
