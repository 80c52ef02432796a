// The diagnostic log: on only when "EnableLog.txt" lies beside the executable at the first call.
#pragma once

/// Formats one line (Windows wide printf conventions: %s takes a wide string, %d an int) and writes
/// it to "EnableLog.txt" in the executable's directory (in the ANSI code page, lines ending in CR LF),
/// to the debugger output and to the console. A line holds at most 255 characters; longer text is
/// cut. Whether logging is on is decided once, at the first call, by the marker file's existence.
void WriteLog(const wchar_t* format, ...);

namespace env_testing {
/// Closes the log and forgets the first-call decision, so a test can start a fresh run.
void ResetLog();
}  // namespace env_testing
