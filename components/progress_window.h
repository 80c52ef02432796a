// The progress window library (StatusPanel), as the program calls it. Linked at start.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

extern "C" {

/// The opaque 32-bit handle of one progress window.
using ProgressHandle = std::uint32_t;

/// The work the window runs: takes the context given to ProgressDlg_Excute.
using ProgressWork = int (*)(void* context);

/// Opens a progress window (not yet shown). Called once per installer object, first.
ProgressHandle ProgressDlg_Create();

/// Sets the font of the status line (null: the window's own font). Called once, before the work.
void ProgressDlg_SetFont(ProgressHandle handle, win::HFONT font);

/// Shows the window, runs `work(context)` once on a thread of the library's choice and returns only
/// after it has returned. An error must not leave `work`: see RunGuarded below.
int ProgressDlg_Excute(ProgressHandle handle, ProgressWork work, void* context);

/// Replaces the status line at once. Only while the work runs.
void ProgressDlg_SetMessage(ProgressHandle handle, const wchar_t* text);

/// Shows a modal message box (Windows message-box style: 48 warning, 64 information, 16 error) and
/// returns only when the user has closed it. Only while the work runs.
int ProgressDlg_MessageBox(ProgressHandle handle, const wchar_t* text, const wchar_t* caption, unsigned style);

/// Closes the window. The last call on the handle.
void ProgressDlg_Destroy(ProgressHandle handle);

}  // extern "C"

inline constexpr unsigned MB_ICONERROR = 16;
inline constexpr unsigned MB_ICONWARNING = 48;
inline constexpr unsigned MB_ICONINFORMATION = 64;

/// An error that carries a wide text for the user (the pop-up watcher raises them).
class CWideTextError {
 public:
  explicit CWideTextError(const wchar_t* text) : m_text(text) {}
  const wchar_t* GetText() const { return m_text; }

 private:
  const wchar_t* m_text;
};

/// Runs `work(context)` inside ProgressDlg_Excute. C++ errors cannot cross into the library (it has a
/// runtime of its own), so an error that leaves the work is stopped at this boundary: its text is
/// shown in an error box on the window and the work ends, so that Excute returns and the program
/// closes normally.
int ExecuteInProgressWindow(ProgressHandle handle, ProgressWork work, void* context);
