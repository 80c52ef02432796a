// Simulated machine: the system windows it raises, as the Windows generation it is shows them
// (docs/simulated-machine.md, "Threads and windows").
#pragma once

#include <string>
#include <vector>

#include "platform/window.h"

namespace sim {

/// Machine milliseconds a driver-signature warning waits for an answer before the installation
/// gives up, as Vista and 7 end a device installation after their default time-out of 300 s.
inline constexpr win::DWORD kSignatureAnswerLimit = 300000;

/// Shows the new-hardware window the machine's Windows generation shows for a device without a
/// driver (Windows 2000 and XP: "Found New Hardware Wizard"; Vista: "Found New Hardware"; 7 and
/// later: "Driver Software Installation"; nothing before 2000). Returns at once; the window stays
/// until it is closed. Recorded as "shown <title>: <instance ID>".
void RaiseNewHardwareWizard(const std::wstring& instanceId, const std::wstring& deviceDescription);

class Machine;
/// The same on `machine`, which need not be the current one (a tool's machine).
void RaiseNewHardwareWizard(Machine& machine, const std::wstring& instanceId, const std::wstring& deviceDescription);

/// Shows the driver-signature warning of the machine's generation for the package `infPath` and
/// waits, as the installing thread does on Windows, for an answer: true when it was accepted
/// ("&Yes" on 2000, "&Continue Anyway" on XP, "&Install this driver software anyway" on Vista and
/// 7), false when it was refused or closed, or when nobody answered within kSignatureAnswerLimit
/// (the window then goes away). Windows before 2000 check no signatures: true without a window.
/// Other simulated threads run while it waits. Call it without holding the machine's lock.
bool RaiseSignatureWarning(const std::wstring& infPath);

/// A child window of ShowOtherWindow's window.
struct ChildWindow {
  std::wstring className;
  std::wstring text;
  int id = 0;
};

/// Shows a top-level window of another program (a test's bystander): what is done to it (closed,
/// one of its buttons pressed) is recorded as "closed <title>" or "pressed <title>: <text>".
win::HWND ShowOtherWindow(const std::wstring& className, const std::wstring& title,
                          const std::vector<ChildWindow>& children);

}  // namespace sim
