// The card's CD-ROM devices: collecting their instance IDs.
#pragma once

#include <string>
#include <vector>

/// The device instance IDs of the card's CD-ROM devices, in listing order, as the system reports them.
using vecInstanceID = std::vector<std::wstring>;

/// Empties `ids` and fills it with the card's CD-ROM devices: the present CD-ROM class devices when
/// `presentOnly`, else every installed device of every class; only IDs that IsUsbChipID accepts.
/// True when at least one was found.
bool CollectCardCdromIDs(vecInstanceID& ids, bool presentOnly);

/// Enables or disables every card CD-ROM device CollectCardCdromIDs finds (present ones only when
/// `presentOnly`), in listing order, ignoring each change's outcome; logs the count. True when at
/// least one device was found.
bool SetCardCdromState(bool enable, bool presentOnly);
