// The card interfaces the install sequence knows: each model's modem and port interfaces.
#pragma once

#include <cstddef>

/// Which of the install sequence's five driver installers serves an interface.
enum class InterfaceInstaller { Modem, Port1, Port2, Port3, Port4 };

/// One interface of one card model, as the table lists it.
struct InterfaceTableRow {
  const wchar_t* hardwareId;
  InterfaceInstaller installer;
  bool awaited;  // the discovery waits for it; otherwise it is taken only when present
};

inline constexpr std::size_t kInterfaceTableSize = 37;

/// The 37 rows in table order.
extern const InterfaceTableRow kInterfaceTable[kInterfaceTableSize];
