// Switching the card out of its CD-ROM form: finding its drive and building the vendor command.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/types.h"

/// Finds the card's CD-ROM drive among the present CD-ROM interfaces (the first in listing order whose
/// upper-cased instance ID is a supported ID and holds "_QXR&") and stores its path in `path`.
/// False when there is none; `path` is then unchanged. Logs two lines per drive it looks at.
bool FindCardCdromInterface(std::wstring& path);

/// Fills the 3 command bytes for the running Windows generation (9F, then 02 02 on Windows 2000,
/// 01 00 on XP, 03 00 on Vista and 7, 00 00 otherwise) and sets `length` to 3. Returns true.
bool BuildSwitchCommand(win::BYTE* command, win::DWORD& length);

/// Opens the drive at `path` and sends it the command (`command` may be null, `count` 0) in the SCSI
/// pass-through request. True when the drive could be opened and the request was issued, whatever
/// the request's own result; false (with a log line) when the drive cannot be opened.
bool SendSwitchCommand(const std::wstring& path, const win::BYTE* command, win::DWORD count);

/// Enables the process's debug privilege. True exactly when the adjustment left the last error 0.
bool EnableDebugPrivilege();

/// The SCSI pass-through request as sent: 44-byte header, filler, 32-byte sense and 512-byte data
/// buffer (592 bytes). At most 16 command bytes go into the Cdb field; none when `command` is null or
/// `count` is 0.
inline constexpr std::size_t kPassThroughBlockSize = 592;
using PassThroughBlock = std::array<win::BYTE, kPassThroughBlockSize>;
PassThroughBlock BuildPassThroughBlock(const win::BYTE* command, win::DWORD count);

inline constexpr win::DWORD IOCTL_SCSI_PASS_THROUGH = 0x4D004;
inline constexpr win::DWORD kPassThroughInputLength = 44;
inline constexpr win::DWORD kPassThroughOutputLength = 272;  // data buffer offset 80 + transfer length 192
