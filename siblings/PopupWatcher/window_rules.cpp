// The system windows the pop-up watcher looks for, and how a window is matched against them.
#include "siblings/PopupWatcher/window_rules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace popup {

namespace {

constexpr WindowRule kWizardRules[] = {
    // Windows 2000 and XP: the wizard's welcome page.
    {L"Found New Hardware Wizard", L"Welcome to the Found New Hardware Wizard", nullptr},
    // Vista: the dialog that offers to locate the driver software.
    {L"Found New Hardware", L"Windows needs to install driver software for your", nullptr},
    // 7: the driver software installation window, while it searches and when it found nothing.
    {L"Driver Software Installation", L"Installing device driver software", nullptr},
    {L"Driver Software Installation", L"Device driver software was not successfully installed", nullptr},
};

constexpr WindowRule kSignatureRules[] = {
    {L"Digital Signature Not Found", L"The Microsoft digital signature affirms", L"Yes"},  // 2000
    {L"Hardware Installation", nullptr, L"Continue Anyway"},                               // XP, 2003
    {L"Windows Security", nullptr, L"Install this driver software anyway"},                // Vista, 7
};

constexpr int kTextLimit = 512;

std::wstring ClassOf(win::HWND window) {
  wchar_t buffer[kTextLimit] = L"";
  const int n = win::GetClassNameW(window, buffer, kTextLimit);
  return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring TextOf(win::HWND window) {
  wchar_t buffer[kTextLimit] = L"";
  const int n = win::GetWindowTextW(window, buffer, kTextLimit);
  return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// A control's text as a user reads it: "&&" is an ampersand, another '&' marks the mnemonic, and a
// command link's note after the first line break is left out.
std::wstring Readable(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size() && text[i] != L'\n' && text[i] != L'\r'; ++i) {
    if (text[i] == L'&') {
      if (i + 1 < text.size() && text[i + 1] == L'&') out += text[++i];
      continue;
    }
    out += text[i];
  }
  return out;
}

win::BOOL WINCALL Collect(win::HWND window, win::LPARAM context) {
  reinterpret_cast<std::vector<win::HWND>*>(context)->push_back(window);
  return win::TRUE;
}

}  // namespace

std::vector<win::HWND> ListWindows(win::HWND parent) {
  std::vector<win::HWND> windows;
  if (parent) {
    win::EnumChildWindows(parent, &Collect, reinterpret_cast<win::LPARAM>(&windows));
  } else {
    win::EnumWindows(&Collect, reinterpret_cast<win::LPARAM>(&windows));
  }
  return windows;
}

std::span<const WindowRule> WizardRules() {
  return kWizardRules;
}
std::span<const WindowRule> SignatureRules() {
  return kSignatureRules;
}

bool Matches(win::HWND window, std::span<const WindowRule> rules, win::HWND* button) {
  if (!win::IsWindowVisible(window) || ClassOf(window) != L"#32770") return false;
  const std::wstring title = TextOf(window);
  if (std::none_of(rules.begin(), rules.end(), [&](const WindowRule& rule) { return title == rule.title; }))
    return false;
  const std::vector<win::HWND> children = ListWindows(window);
  for (const WindowRule& rule : rules) {
    if (title != rule.title) continue;
    bool marked = rule.marker == nullptr;
    win::HWND accept = nullptr;
    for (win::HWND child : children) {
      const std::wstring text = Readable(TextOf(child));
      if (rule.marker && text.starts_with(rule.marker)) marked = true;
      if (rule.button && !accept && text == rule.button && ClassOf(child) == L"Button") accept = child;
    }
    if (marked && (!rule.button || accept)) {
      if (rule.button) *button = accept;
      return true;
    }
  }
  return false;
}

}  // namespace popup
