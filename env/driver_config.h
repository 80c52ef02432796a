// The driver configuration: which modem and port packages serve the running Windows, and where.
#pragma once

#include <string>

/// The driver tree's directory for the running Windows generation and architecture, with its
/// trailing backslash: "..\Driver\" beside the executable's directory, then "WinXP\",
/// "WinXP-AMD64\", "Vista\X86\", "Vista\AMD64\", "Win7\Win32\", "Win7\Win64\" or "Win2K\".
std::wstring GetDriverDirectory();

/// The value of `key` in the running generation's section of "../config/driver.ini" (taken against
/// the current directory, read afresh on every call), or empty when the file, section or key is
/// missing.
std::wstring ReadDriverEntry(const std::wstring& key);

/// GetDriverDirectory followed by the "Modem" entry.
std::wstring GetModemPackagePath();

/// GetDriverDirectory followed by the "Port" entry.
std::wstring GetPortPackagePath();
