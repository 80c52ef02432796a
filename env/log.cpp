// The diagnostic log.
#include "env/log.h"

#include <cstdarg>
#include <cstdlib>
#include <string>

#include "env/console.h"
#include "env/paths.h"
#include "env/wformat.h"
#include "platform/debug.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/nls.h"
#include "platform/scoped.h"

namespace {

// The log file, opened at the first call when the marker exists. A failed open or write leaves the
// stream failed: lines still reach the debugger and the console.
class LogStream {
 public:
  void Open(const std::wstring& path) {
    m_file.reset(win::CreateFileW(path.c_str(), win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                                  nullptr, win::CREATE_ALWAYS, win::FILE_ATTRIBUTE_NORMAL, nullptr));
    m_failed = !m_file;
  }

  void WriteLine(const wchar_t* text) {
    if (m_failed) return;
    std::wstring line(text);
    line += L'\n';
    const int size = static_cast<int>(line.size());
    const int needed = win::WideCharToMultiByte(win::CP_ACP, 0, line.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) win::WideCharToMultiByte(win::CP_ACP, 0, line.c_str(), size, bytes.data(), needed, nullptr, nullptr);
    std::string textMode;
    textMode.reserve(bytes.size() + 2);
    for (char c : bytes) {
      if (c == '\n') textMode += '\r';
      textMode += c;
    }
    win::DWORD written = 0;
    if (!win::WriteFile(m_file.get(), textMode.data(), static_cast<win::DWORD>(textMode.size()), &written, nullptr) ||
        written != textMode.size()) {
      m_failed = true;
    }
  }

  void Close() {
    m_file.reset();
    m_failed = true;
  }

 private:
  win::ScopedGeneric<win::FileHandleTraits> m_file;
  bool m_failed = true;
};

LogStream* g_stream = nullptr;
bool g_firstCall = true;
bool g_loggingOn = false;

void DestroyStream() {
  delete g_stream;
  g_stream = nullptr;
}

LogStream& Stream() {
  if (!g_stream) {
    g_stream = new LogStream;
    static bool registered = false;
    if (!registered) {
      registered = true;
      std::atexit(DestroyStream);
    }
  }
  return *g_stream;
}

}  // namespace

void WriteLog(const wchar_t* format, ...) {
  LogStream& stream = Stream();
  if (g_firstCall) {
    g_firstCall = false;
    const std::wstring marker = GetModuleDirectory() + L"EnableLog.txt";
    if (FileExists(marker)) {
      stream.Open(marker);
      g_loggingOn = true;
    }
  }
  if (!g_loggingOn) return;

  // 256 characters with the terminator always inside: a longer message is cut to 255.
  wchar_t line[256] = {};
  va_list args;
  va_start(args, format);
  FormatWide(line, 256, format, args);
  va_end(args);

  stream.WriteLine(line);
  win::OutputDebugStringW(line);
  WriteConsoleWide(line);
  WriteConsoleWide(L"\n");
}

namespace env_testing {
void ResetLog() {
  if (g_stream) g_stream->Close();
  g_firstCall = true;
  g_loggingOn = false;
}
}  // namespace env_testing
