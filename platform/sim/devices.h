// Simulated machine: a handle opened on a device interface path.
#pragma once

#include <string>

#include "platform/sim/objects.h"

namespace sim {

struct DeviceFileObject : Object {
  std::wstring path;
  std::size_t device = 0;  // index in the machine's device list
};

/// Opens a device interface path ("\\?\..." or "\\.\..."): the present device whose interface has
/// that path (without regard to case). Returns the handle, or INVALID_HANDLE_VALUE with the error
/// Windows gives (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED).
win::HANDLE OpenDevicePath(const std::wstring& path);

}  // namespace sim
