// How the pop-up watcher knows the system's new-hardware windows and driver-signature warnings.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/window.h"

namespace popup {

/// One kind of system window: a dialog (class "#32770") with exactly this title that holds a child
/// whose text begins with `marker` (when given) and, for a warning, the button that accepts it.
/// Child texts are compared without their '&' mnemonics and only up to their first line break
/// (a command link's note follows there).
struct WindowRule {
  const wchar_t* title;
  const wchar_t* marker;  // null: no marker needed
  const wchar_t* button;  // null: a wizard window, which is closed rather than answered
};

/// New-hardware windows of Windows 2000, XP, Vista and 7, in English.
std::span<const WindowRule> WizardRules();

/// Driver-signature warnings of Windows 2000, XP, Vista and 7, in English.
std::span<const WindowRule> SignatureRules();

/// The top-level windows (null `parent`), or every descendant of `parent`, as the system lists them.
std::vector<win::HWND> ListWindows(win::HWND parent);

/// Whether `window` is a visible window of one of `rules`. For a rule with a button, `button` gets
/// that button (left untouched otherwise).
bool Matches(win::HWND window, std::span<const WindowRule> rules, win::HWND* button);

}  // namespace popup
