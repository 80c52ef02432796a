// StatusPanel for a terminal: the status line and message boxes as text on standard output, and an
// optional transcript of every call (DRVSETUP_TRANSCRIPT names the file; see docs/progress-window.md).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "components/progress_window.h"
#include "siblings/StatusPanel/transcript_format.h"
#include "platform/gdi.h"
#include "platform/nls.h"

#define PANEL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex g_lock;
ProgressHandle g_next = 1;
std::map<ProgressHandle, bool> g_panels;  // open panels

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = win::WideCharToMultiByte(win::CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) win::WideCharToMultiByte(win::CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Escape(const std::string& text) { return EscapeTranscriptField(text); }

void Record(const std::string& line) {
  const char* path = std::getenv("DRVSETUP_TRANSCRIPT");
  if (!path || !*path) return;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string full = line + "\n";
  ssize_t ignored = ::write(fd, full.data(), full.size());
  (void)ignored;
  ::close(fd);
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// Lines of a text with its CR LF pairs as line breaks.
std::string Indent(const std::string& text, const std::string& prefix) {
  std::string out = prefix;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    out += text[i];
    if (text[i] == '\n') out += prefix;
  }
  return out;
}

const char* IconWord(unsigned style) {
  switch (style & 0xF0) {
    case 16: return "error";
    case 32: return "question";
    case 48: return "warning";
    case 64: return "information";
    default: return "message";
  }
}

bool IsOpen(ProgressHandle h) {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_panels.count(h) != 0;
}

}  // namespace

PANEL_EXPORT ProgressHandle ProgressDlg_Create() {
  ProgressHandle h;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    h = g_next++;
    g_panels[h] = true;
  }
  Record("Create\t" + std::to_string(h));
  return h;
}

PANEL_EXPORT void ProgressDlg_SetFont(ProgressHandle h, win::HFONT font) {
  if (!IsOpen(h)) return;
  std::string description = "none";
  win::LOGFONTW lf{};
  if (font && win::GetObjectW(font, sizeof lf, &lf) > 0) {
    description = Escape(Utf8(lf.lfFaceName)) + "\t" + std::to_string(lf.lfHeight);
  }
  Record("SetFont\t" + std::to_string(h) + "\t" + description);
  if (font) Print("| (status line font: " + Utf8(lf.lfFaceName) + ", height " + std::to_string(lf.lfHeight) + ")\n");
}

PANEL_EXPORT int ProgressDlg_Excute(ProgressHandle h, ProgressWork work, void* context) {
  if (!IsOpen(h) || !work) return 0;
  Record("Excute\t" + std::to_string(h) + "\tbegin");
  Print("+-- Drvsetup ----------------------------------------------------------\n");
  int result = 0;
  // The work runs on a thread of its own, as it does beside a window.
  std::thread worker([&] {
    try {
      result = work(context);
    } catch (...) {
      Print("| The work ended with an error it did not handle.\n");
      result = -1;
    }
  });
  worker.join();
  Print("+----------------------------------------------------------------------\n");
  Record("Excute\t" + std::to_string(h) + "\tend\t" + std::to_string(result));
  return result;
}

PANEL_EXPORT void ProgressDlg_SetMessage(ProgressHandle h, const wchar_t* text) {
  if (!IsOpen(h)) return;
  const std::string t = Utf8(text ? text : L"");
  Record("SetMessage\t" + std::to_string(h) + "\t" + Escape(t));
  Print(Indent(t, "| ") + "\n");
}

PANEL_EXPORT int ProgressDlg_MessageBox(ProgressHandle h, const wchar_t* text, const wchar_t* caption, unsigned style) {
  if (!IsOpen(h)) return 0;
  const std::string t = Utf8(text ? text : L"");
  const std::string c = Utf8(caption ? caption : L"");
  Record("MessageBox\t" + std::to_string(h) + "\t" + std::to_string(style) + "\t" + Escape(c) + "\t" + Escape(t));
  Print("|\n|   [" + std::string(IconWord(style)) + "] " + c + "\n" + Indent(t, "|   ") + "\n");
  if (::isatty(STDIN_FILENO)) {
    Print("|   Press Enter for OK. ");
    std::string ignored;
    int ch;
    while ((ch = std::fgetc(stdin)) != EOF && ch != '\n') ignored += static_cast<char>(ch);
  } else {
    Print("|   (OK: standard input is no terminal, so the box is answered at once)\n");
  }
  Print("|\n");
  return 1;  // IDOK
}

PANEL_EXPORT void ProgressDlg_Destroy(ProgressHandle h) {
  {
    std::lock_guard<std::mutex> guard(g_lock);
    if (!g_panels.erase(h)) return;
  }
  Record("Destroy\t" + std::to_string(h));
}
