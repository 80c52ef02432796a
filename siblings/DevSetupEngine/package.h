// A driver package as the engine sees it: its INF file and the hardware IDs its models list.
#pragma once

#include <string>
#include <vector>

namespace engine {

struct DriverPackage {
  std::wstring infPath;                  // full path of the INF file
  std::vector<std::wstring> hardwareIds;  // every ID of every models section, without repeats
};

/// Reads the package at `path` (an INF file). False, with the thread's last error set, when the
/// path is empty, missing, a directory, not an INF file, or an INF whose models list no device.
bool ReadDriverPackage(const std::wstring& path, DriverPackage& package);

/// Hardware IDs compare without regard to case, as Windows compares them.
bool SameHardwareId(const std::wstring& a, const std::wstring& b);

}  // namespace engine
