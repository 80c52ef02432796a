// The real PopupWatcher.dll under Wine, loaded by CPopupWatcher from the program's folder: it
// closes and counts a dialog made the way Windows XP's new-hardware wizard looks, accepts a dialog
// made the way XP's driver-signature warning looks, leaves a look-alike alone, and stops.
// Test code standing in for Windows itself: it makes its windows with the Win32 API directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "env/paths.h"
#include "install/popup_watcher.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

constexpr WORD kContinueAnyway = 5302;
constexpr WORD kStopInstallation = 5303;
constexpr INT_PTR kNobodyCame = 99;  // the dialog's own limit passed: the watcher did nothing
constexpr UINT_PTR kLimitTimer = 1;
constexpr UINT kLimitMs = 20000;

// An in-memory dialog template: the dialog, then its controls, each aligned to a DWORD.
class DialogTemplate {
 public:
  explicit DialogTemplate(const wchar_t* title) {
    Align();
    DLGTEMPLATE head{};
    head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    head.cx = 300;
    head.cy = 180;
    Append(&head, sizeof head);
    m_countAt = offsetof(DLGTEMPLATE, cdit);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(title);
  }

  void Control(WORD atom, const wchar_t* text, WORD id, DWORD style) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = 10;
    item.y = static_cast<short>(10 + 20 * Count());
    item.cx = 200;
    item.cy = 14;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(atom);  // 0x0080 button, 0x0082 static
    Text(text);
    Word(0);  // no creation data
    WORD n = Count() + 1;
    std::memcpy(m_bytes.data() + m_countAt, &n, sizeof n);
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

 private:
  WORD Count() const {
    WORD n;
    std::memcpy(&n, m_bytes.data() + m_countAt, sizeof n);
    return n;
  }
  void Append(const void* p, std::size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
  }
  void Word(WORD w) { Append(&w, sizeof w); }
  void Text(const wchar_t* t) { Append(t, (std::wcslen(t) + 1) * sizeof(wchar_t)); }
  void Align() {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
  }

  std::vector<BYTE> m_bytes;
  std::size_t m_countAt = 0;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;

// Every button ends the dialog with its id; WM_CLOSE reaches it as IDCANCEL (DefDlgProc).
INT_PTR CALLBACK ModalProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetTimer(dialog, kLimitTimer, kLimitMs, nullptr);
      return TRUE;
    case WM_TIMER:
      EndDialog(dialog, kNobodyCame);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

int g_bystanderPresses = 0;

INT_PTR CALLBACK BystanderProc(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++g_bystanderPresses;
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

INT_PTR RunModal(const DialogTemplate& t) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, &ModalProc, 0);
}

TEST(WinePopupWatcherTest, ClosesTheWizardAcceptsTheWarningLeavesOthersAloneAndStops) {
  {
    CPopupWatcher watcher(GetModuleDirectory());
    EXPECT_EQ(watcher.GetWizardWindowCount(), 0);

    // A look-alike: the warning's button under another title, on the same thread as the dialogs.
    DialogTemplate other(L"Setup");
    other.Control(kStatic, L"Welcome to the Found New Hardware Wizard", 0xFFFF, SS_LEFT);
    other.Control(kButton, L"&Continue Anyway", 1, BS_PUSHBUTTON);
    const HWND bystander =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), other.Get(), nullptr, &BystanderProc, 0);
    ASSERT_NE(bystander, nullptr) << "no window could be made (error " << GetLastError() << ")";

    DialogTemplate wizard(L"Found New Hardware Wizard");
    wizard.Control(kStatic, L"Welcome to the Found New Hardware Wizard", 0xFFFF, SS_LEFT);
    wizard.Control(kStatic, L"This wizard helps you install software for:", 0xFFFF, SS_LEFT);
    wizard.Control(kStatic, L"Data card interface", 0xFFFF, SS_LEFT);
    wizard.Control(kButton, L"< &Back", 12323, BS_PUSHBUTTON);
    wizard.Control(kButton, L"&Next >", 12324, BS_DEFPUSHBUTTON);
    wizard.Control(kButton, L"Cancel", IDCANCEL, BS_PUSHBUTTON);
    EXPECT_EQ(RunModal(wizard), IDCANCEL);  // closed
    EXPECT_EQ(watcher.GetWizardWindowCount(), 1);

    DialogTemplate warning(L"Hardware Installation");
    warning.Control(kStatic, L"The software you are installing for this hardware:", 0xFFFF, SS_LEFT);
    warning.Control(kStatic, L"Data card port", 0xFFFF, SS_LEFT);
    warning.Control(kStatic, L"has not passed Windows Logo testing to verify its compatibility with Windows XP.",
                    0xFFFF, SS_LEFT);
    warning.Control(kButton, L"&Continue Anyway", kContinueAnyway, BS_PUSHBUTTON);
    warning.Control(kButton, L"&STOP Installation", kStopInstallation, BS_DEFPUSHBUTTON);
    EXPECT_EQ(RunModal(warning), kContinueAnyway);  // accepted
    EXPECT_EQ(watcher.GetWizardWindowCount(), 1);

    EXPECT_TRUE(IsWindow(bystander));
    EXPECT_EQ(g_bystanderPresses, 0);
    DestroyWindow(bystander);
  }
  // Stopped: both watch threads ended and gave their references up, and the library is unloaded.
  EXPECT_EQ(GetModuleHandleW(L"PopupWatcher.dll"), nullptr);
}

}  // namespace
