// Simulated machine: the desktop's windows — the new-hardware and driver-signature windows Windows
// raises, and other programs' windows — and the window calls a program makes on them. The windows
// belong to the system: a message posted to one is handled at once, as if its thread had taken it.
#include "platform/sim/windows.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/error.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/threads.h"

namespace sim {

enum class Role { None, Accept, Refuse };  // what pressing a button does to its dialog

struct SimWindow {
  std::uintptr_t handle = 0;
  std::uintptr_t parent = 0;  // 0: top-level
  std::wstring className;
  std::wstring text;
  int id = 0;
  Role role = Role::None;
};

// The answer to a signature warning, which the installing thread waits for.
struct SignatureAnswer : EventObject {
  SignatureAnswer() : EventObject(true, false) {}
  bool accepted = false;  // set before the event
};

// A top-level window and what answering it means.
struct Dialog {
  enum Kind { Wizard, Signature, Other } kind = Other;
  std::uintptr_t top = 0;
  std::wstring title;
  std::wstring subject;                     // the device or package it is about
  std::shared_ptr<SignatureAnswer> answer;  // signature warnings
};

struct Desktop {
  std::vector<SimWindow> windows;  // in the order they were made
  std::vector<Dialog> dialogs;
  std::uintptr_t next = 0x00010010;
};

namespace {

enum class Generation { Older, W2000, XP, Vista, Seven };

Generation GenerationOf(const OsDescription& os) {
  if (os.platformId != 2 || os.major < 5) return Generation::Older;
  if (os.major == 5) return os.minor == 0 ? Generation::W2000 : Generation::XP;
  if (os.major == 6 && os.minor == 0) return Generation::Vista;
  return Generation::Seven;
}

Desktop& DesktopOf(Machine& m) {
  auto& slot = m.DesktopSlot();
  if (!slot) slot = std::make_shared<Desktop>();
  return *slot;
}

std::uintptr_t Add(Desktop& d, std::uintptr_t parent, const std::wstring& className, const std::wstring& text,
                   int id = 0, Role role = Role::None) {
  const std::uintptr_t handle = d.next;
  d.next += 0x1A;
  d.windows.push_back({handle, parent, className, text, id, role});
  return handle;
}

SimWindow* Find(Desktop& d, std::uintptr_t handle) {
  if (handle == 0) return nullptr;
  for (auto& w : d.windows) {
    if (w.handle == handle) return &w;
  }
  return nullptr;
}

std::uintptr_t TopOf(Desktop& d, std::uintptr_t handle) {
  for (SimWindow* w = Find(d, handle); w; w = Find(d, w->parent)) {
    if (w->parent == 0) return w->handle;
  }
  return 0;
}

Dialog* DialogOf(Desktop& d, std::uintptr_t top) {
  for (auto& dialog : d.dialogs) {
    if (dialog.top == top) return &dialog;
  }
  return nullptr;
}

// Removes a top-level window with all its descendants, and its dialog.
void RemoveTree(Desktop& d, std::uintptr_t top) {
  std::erase_if(d.windows, [&](const SimWindow& w) { return TopOf(d, w.handle) == top && w.handle != top; });
  std::erase_if(d.windows, [&](const SimWindow& w) { return w.handle == top; });
  std::erase_if(d.dialogs, [&](const Dialog& dialog) { return dialog.top == top; });
}

void Note(Machine& m, const std::wstring& event) {
  m.Observed().windowEvents.push_back(event);
}

std::uintptr_t Show(Machine& m, Dialog dialog) {
  Desktop& d = DesktopOf(m);
  dialog.top = Add(d, 0, L"#32770", dialog.title);
  d.dialogs.push_back(dialog);
  return dialog.top;
}

win::HWND AsHwnd(std::uintptr_t handle) {
  return reinterpret_cast<win::HWND>(handle);
}
std::uintptr_t Value(win::HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

std::vector<std::uintptr_t> Descendants(Desktop& d, std::uintptr_t parent) {
  std::vector<std::uintptr_t> out;
  for (const auto& w : d.windows) {
    if (w.parent != parent) continue;
    out.push_back(w.handle);
    const auto below = Descendants(d, w.handle);
    out.insert(out.end(), below.begin(), below.end());
  }
  return out;
}

// Calls `proc` for each window of a snapshot, without the machine's lock, so that it may call
// window functions (and see a window that closed meanwhile fail as gone).
win::BOOL Enumerate(const std::vector<std::uintptr_t>& windows, win::WNDENUMPROC proc, win::LPARAM context) {
  for (std::uintptr_t handle : windows) {
    if (!proc(AsHwnd(handle), context)) return win::FALSE;
  }
  return win::TRUE;
}

int CopyText(const std::wstring& text, win::LPWSTR buffer, int size) {
  const int n = std::min(static_cast<int>(text.size()), size - 1);
  std::copy_n(text.begin(), n, buffer);
  buffer[n] = L'\0';
  return n;
}

}  // namespace

void RaiseNewHardwareWizard(const std::wstring& instanceId, const std::wstring& deviceDescription) {
  RaiseNewHardwareWizard(Current(), instanceId, deviceDescription);
}

void RaiseNewHardwareWizard(Machine& m, const std::wstring& instanceId, const std::wstring& deviceDescription) {
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const Generation g = GenerationOf(m.Desc().os);
  if (g == Generation::Older) return;
  Dialog dialog;
  dialog.kind = Dialog::Wizard;
  dialog.subject = instanceId;
  dialog.title = g == Generation::Vista   ? L"Found New Hardware"
                 : g == Generation::Seven ? L"Driver Software Installation"
                                          : L"Found New Hardware Wizard";
  const std::uintptr_t top = Show(m, dialog);
  Desktop& d = DesktopOf(m);
  switch (g) {
    case Generation::W2000:
    case Generation::XP:
      Add(d, top, L"Static", L"Welcome to the Found New Hardware Wizard");
      Add(d, top, L"Static", L"This wizard helps you install software for:");
      Add(d, top, L"Static", deviceDescription);
      Add(d, top, L"Button", L"< &Back", 12323);
      Add(d, top, L"Button", L"&Next >", 12324);
      Add(d, top, L"Button", L"Cancel", 2, Role::Refuse);
      break;
    case Generation::Vista:
      Add(d, top, L"Static", L"Windows needs to install driver software for your " + deviceDescription);
      Add(d, top, L"Button", L"&Locate and install driver software (recommended)", 1001);
      Add(d, top, L"Button", L"&Ask me again later", 1002);
      Add(d, top, L"Button", L"&Don't show this message again for this device", 1003);
      Add(d, top, L"Button", L"Cancel", 2, Role::Refuse);
      break;
    default:
      Add(d, top, L"Static", L"Installing device driver software");
      Add(d, top, L"Static", deviceDescription);
      Add(d, top, L"Button", L"&Close", 2, Role::Refuse);
      break;
  }
  Note(m, L"shown " + dialog.title + L": " + instanceId);
}

bool RaiseSignatureWarning(const std::wstring& infPath) {
  Machine& m = Current();
  auto answer = std::make_shared<SignatureAnswer>();
  std::uintptr_t top = 0;
  std::wstring title;
  {
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    const Generation g = GenerationOf(m.Desc().os);
    if (g == Generation::Older) return true;
    Dialog dialog;
    dialog.kind = Dialog::Signature;
    dialog.subject = infPath;
    dialog.answer = answer;
    dialog.title = g == Generation::W2000 ? L"Digital Signature Not Found"
                   : g == Generation::XP  ? L"Hardware Installation"
                                          : L"Windows Security";
    title = dialog.title;
    top = Show(m, dialog);
    Desktop& d = DesktopOf(m);
    switch (g) {
      case Generation::W2000:
        Add(d, top, L"Static",
            L"The Microsoft digital signature affirms that software has been tested with Windows and that the "
            L"software has not been altered since it was tested.");
        Add(d, top, L"Static",
            L"The software you are about to install does not contain a Microsoft digital signature.");
        Add(d, top, L"Static", infPath);
        Add(d, top, L"Static", L"Do you want to continue the installation?");
        Add(d, top, L"Button", L"&Yes", 6, Role::Accept);
        Add(d, top, L"Button", L"&No", 7, Role::Refuse);
        Add(d, top, L"Button", L"&More Info", 1003);
        break;
      case Generation::XP:
        Add(d, top, L"Static", L"The software you are installing for this hardware:");
        Add(d, top, L"Static", infPath);
        Add(d, top, L"Static", L"has not passed Windows Logo testing to verify its compatibility with Windows XP.");
        Add(d, top, L"Button", L"&Continue Anyway", 5302, Role::Accept);
        Add(d, top, L"Button", L"&STOP Installation", 5303, Role::Refuse);
        break;
      default: {
        // A task dialog: its command links sit in notification sinks inside the content window.
        const std::uintptr_t content = Add(d, top, L"DirectUIHWND", L"");
        Add(d, content, L"Static", L"Windows can't verify the publisher of this driver software");
        const std::uintptr_t refuse = Add(d, content, L"CtrlNotifySink", L"");
        Add(d, refuse, L"Button",
            L"&Don't install this driver software\nYou should check your manufacturer's website for updated driver "
            L"software for your device.",
            1, Role::Refuse);
        const std::uintptr_t accept = Add(d, content, L"CtrlNotifySink", L"");
        Add(d, accept, L"Button",
            L"&Install this driver software anyway\nOnly install driver software obtained from your manufacturer's "
            L"website or disc. Unsigned software from other sources may harm your computer or steal information.",
            1, Role::Accept);
        break;
      }
    }
    Note(m, L"shown " + title + L": " + infPath);
  }
  if (WaitFor(answer, kSignatureAnswerLimit)) return answer->accepted;
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  RemoveTree(DesktopOf(m), top);
  Note(m, L"unanswered " + title);
  return false;
}

win::HWND ShowOtherWindow(const std::wstring& className, const std::wstring& title,
                          const std::vector<ChildWindow>& children) {
  Machine& m = Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  Desktop& d = DesktopOf(m);
  const std::uintptr_t top = Add(d, 0, className, title);
  Dialog dialog;
  dialog.top = top;
  dialog.title = title;
  d.dialogs.push_back(dialog);
  for (const auto& child : children) Add(d, top, child.className, child.text, child.id);
  return AsHwnd(top);
}

}  // namespace sim

namespace win {

BOOL EnumWindows(WNDENUMPROC proc, LPARAM context) {
  std::vector<std::uintptr_t> tops;
  {
    sim::Machine& m = sim::Current();
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    for (const auto& w : sim::DesktopOf(m).windows) {
      if (w.parent == 0) tops.insert(tops.begin(), w.handle);  // the newest is on top
    }
  }
  return sim::Enumerate(tops, proc, context);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM context) {
  if (!parent) return EnumWindows(proc, context);
  std::vector<std::uintptr_t> children;
  {
    sim::Machine& m = sim::Current();
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    sim::Desktop& d = sim::DesktopOf(m);
    if (!sim::Find(d, sim::Value(parent))) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    children = sim::Descendants(d, sim::Value(parent));
  }
  return sim::Enumerate(children, proc, context);
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::SimWindow* w = sim::Find(sim::DesktopOf(m), sim::Value(window));
  if (!w) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, 0);
  if (size < 1 || !buffer) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  SetLastError(ERROR_SUCCESS);
  return sim::CopyText(w->className, buffer, size);
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::SimWindow* w = sim::Find(sim::DesktopOf(m), sim::Value(window));
  if (!w) {
    if (buffer && size > 0) buffer[0] = L'\0';
    return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, 0);
  }
  if (!buffer || size < 1) return 0;
  SetLastError(ERROR_SUCCESS);
  return sim::CopyText(w->text, buffer, size);
}

BOOL IsWindow(HWND window) {
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  return sim::Find(sim::DesktopOf(m), sim::Value(window)) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
  return IsWindow(window);
}  // the machine's windows are all shown

HWND GetParent(HWND window) {
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::SimWindow* w = sim::Find(sim::DesktopOf(m), sim::Value(window));
  if (!w) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, static_cast<HWND>(nullptr));
  SetLastError(ERROR_SUCCESS);
  return sim::AsHwnd(w->parent);
}

int GetDlgCtrlID(HWND window) {
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::SimWindow* w = sim::Find(sim::DesktopOf(m), sim::Value(window));
  if (!w) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, 0);
  return w->parent ? w->id : 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  std::shared_ptr<sim::SignatureAnswer> answer;
  {
    sim::Machine& m = sim::Current();
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    sim::Desktop& d = sim::DesktopOf(m);
    const sim::SimWindow* w = sim::Find(d, sim::Value(window));
    if (!w) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    // Which button the message presses: WM_COMMAND names a child of the window it goes to, BM_CLICK
    // goes to the button itself. WM_CLOSE to a dialog means Cancel.
    const sim::SimWindow* pressed = nullptr;
    if (message == WM_COMMAND && (wParam >> 16) == BN_CLICKED) {
      for (const auto& c : d.windows) {
        if (c.parent == w->handle && c.id == static_cast<int>(wParam & 0xFFFF)) pressed = &c;
      }
    } else if (message == BM_CLICK && w->className == L"Button") {
      pressed = w;
    }
    const bool close = message == WM_CLOSE && w->parent == 0;
    sim::Dialog* dialog = sim::DialogOf(d, sim::TopOf(d, w->handle));
    if (dialog && (pressed || close)) {
      const sim::Role role = pressed ? pressed->role : sim::Role::Refuse;
      const std::uintptr_t top = dialog->top;
      if (dialog->kind == sim::Dialog::Other) {
        sim::Note(m, close ? L"closed " + dialog->title : L"pressed " + dialog->title + L": " + pressed->text);
        if (close) sim::RemoveTree(d, top);
      } else if (role == sim::Role::None) {
        sim::Note(m, L"pressed " + dialog->title + L": " + pressed->text);
      } else {
        const bool accepted = role == sim::Role::Accept;
        if (dialog->kind == sim::Dialog::Wizard) {
          sim::Note(m, L"closed " + dialog->title + L": " + dialog->subject);
        } else {
          sim::Note(m, (accepted ? L"accepted " : L"refused ") + dialog->title);
          answer = dialog->answer;
          answer->accepted = accepted;
        }
        sim::RemoveTree(d, top);
      }
    }
  }
  if (answer) sim::SetEventState(answer, true);
  return TRUE;
}

}  // namespace win
