// Enabling and disabling one device by its instance ID.
#pragma once

#include <string>

/// Enables (`enable` true) or disables the installed device whose instance ID equals `instanceId`
/// (exactly, case-sensitively). A device already in the wanted state is left alone. Enabling makes a
/// global and then a current-profile property change, disabling only the current-profile one. True
/// when the device was found and the last change (if any) succeeded.
bool SetDeviceState(const std::wstring& instanceId, bool enable);
