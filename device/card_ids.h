// Recognising the data card by its device identifiers.
#pragma once

#include <string>

/// True when one of the card's USB hardware IDs (14 entries, vendor 05C6 and 3F7D) occurs anywhere in
/// `id`. Exact and case-sensitive: the caller passes an upper-cased ID. Writes no log line.
bool IsCardHardwareID(const std::wstring& id);

/// True when one of the supported-ID fragments (7 entries) occurs in the upper-cased `id`; logs
/// "IsSupportedID Found OK :<id>  <entry>" for the first entry in table order that matches.
bool IsSupportedID(const std::wstring& id);

/// True when the upper-cased `id` holds both the chip tag "QXRMTFFF4" and "USBSTOR\CDROM" (the card's
/// virtual CD-ROM drive); logs "IsUsbChipID Found OK :<id>  QXRMTFFF4" then.
bool IsUsbChipID(const std::wstring& id);

/// Upper-cased copy, unit by unit (A-Z for a-z; digits and punctuation unchanged).
std::wstring UpperCase(const std::wstring& text);
