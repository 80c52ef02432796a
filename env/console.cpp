// Console output through the platform's standard handle.
#include "env/console.h"

#include <string>

#include "platform/console.h"
#include "platform/file.h"
#include "platform/nls.h"

namespace {

bool g_consoleFailed = false;

// Text mode: every line feed goes out as CR LF.
std::string ToTextMode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (char c : bytes) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

bool WriteBytes(const std::string& bytes) {
  if (g_consoleFailed) return false;
  if (bytes.empty()) return true;
  const win::HANDLE out = win::GetStdHandle(win::STD_OUTPUT_HANDLE);
  win::DWORD written = 0;
  if (out == win::INVALID_HANDLE_VALUE || out == nullptr ||
      !win::WriteFile(out, bytes.data(), static_cast<win::DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    g_consoleFailed = true;
    return false;
  }
  return true;
}

}  // namespace

bool WriteConsoleWide(std::wstring_view text) {
  if (text.empty()) return !g_consoleFailed;
  const win::UINT cp = win::GetConsoleOutputCP();
  const int size = static_cast<int>(text.size());
  const int needed = win::WideCharToMultiByte(cp, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return WriteBytes({});
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  win::WideCharToMultiByte(cp, 0, text.data(), size, bytes.data(), needed, nullptr, nullptr);
  return WriteBytes(ToTextMode(bytes));
}

bool WriteConsoleNarrow(std::string_view text) { return WriteBytes(ToTextMode(text)); }
