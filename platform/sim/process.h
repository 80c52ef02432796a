// The simulated process: how a program's entry point hands its command line to the machine.
#pragma once

#include <string>

namespace sim {

/// Sets what GetCommandLineW answers.
void SetCommandLine(const std::wstring& commandLine);

/// One argument quoted the way Windows' command-line parsing reads it back.
std::wstring QuoteArgument(const std::wstring& arg);

}  // namespace sim
