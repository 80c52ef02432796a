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
