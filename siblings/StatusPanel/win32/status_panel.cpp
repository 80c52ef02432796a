// StatusPanel for Windows: a window with the status line, kept responsive by the thread that called
// ProgressDlg_Excute while the work runs on a worker thread. Status lines and message boxes asked for
// by the worker are carried to the window's thread, so they appear at once and boxes are modal to it.
#include "components/progress_window.h"
#include "siblings/StatusPanel/transcript_format.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <map>
#include <string>

namespace {

constexpr UINT kSetStatus = WM_APP + 1;
constexpr UINT kShowBox = WM_APP + 2;
constexpr int kStatusId = 100;
const wchar_t kClassName[] = L"DrvsetupStatusPanel";

struct Panel {
  HWND window = nullptr;
  HWND status = nullptr;
  HFONT font = nullptr;
};

struct BoxRequest {
  const wchar_t* text;
  const wchar_t* caption;
  unsigned style;
  int result;
};

CRITICAL_SECTION g_lock;
std::map<ProgressHandle, Panel> g_panels;
ProgressHandle g_next = 1;

struct LockInit {
  LockInit() { InitializeCriticalSection(&g_lock); }
} g_lockInit;

Panel* Find(ProgressHandle h) {
  EnterCriticalSection(&g_lock);
  auto it = g_panels.find(h);
  Panel* p = it == g_panels.end() ? nullptr : &it->second;
  LeaveCriticalSection(&g_lock);
  return p;
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kSetStatus: {
      HWND status = GetDlgItem(window, kStatusId);
      SetWindowTextW(status, reinterpret_cast<const wchar_t*>(lparam));
      InvalidateRect(status, nullptr, TRUE);
      UpdateWindow(status);
      return 0;
    }
    case kShowBox: {
      auto* box = reinterpret_cast<BoxRequest*>(lparam);
      box->result = MessageBoxW(window, box->text, box->caption, box->style | MB_OK);
      return 0;
    }
    case WM_CLOSE:
      return 0;  // the work decides when the window closes
    case WM_SIZE: {
      HWND status = GetDlgItem(window, kStatusId);
      MoveWindow(status, 16, 16, LOWORD(lparam) - 32, HIWORD(lparam) - 32, TRUE);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

void RegisterPanelClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  registered = RegisterClassExW(&wc) != 0;
}

// Without a window (no desktop), status lines go to the console.
void WriteConsoleLine(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return;
  std::string bytes(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), n, nullptr, nullptr);
  bytes += "\r\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The transcript (DRVSETUP_TRANSCRIPT names the file): one UTF-8 line per call, as the terminal panel
// writes it, so tests read both the same way.
std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Escape(const std::string& text) { return EscapeTranscriptField(text); }

void Record(const std::string& line) {
  wchar_t path[1024];
  const DWORD n = GetEnvironmentVariableW(L"DRVSETUP_TRANSCRIPT", path, 1024);
  if (n == 0 || n >= 1024) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string full = line + "\n";
  DWORD written = 0;
  WriteFile(file, full.data(), static_cast<DWORD>(full.size()), &written, nullptr);
  CloseHandle(file);
}

struct WorkStart {
  ProgressWork work;
  void* context;
  int result;
};

DWORD WINAPI WorkThread(void* parameter) {
  auto* start = static_cast<WorkStart*>(parameter);
  try {
    start->result = start->work(start->context);
  } catch (...) {
    start->result = -1;
  }
  return 0;
}

}  // namespace

extern "C" ProgressHandle ProgressDlg_Create() {
  RegisterPanelClass();
  Panel panel;
  panel.window = CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Drvsetup", WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 460, 150, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
  if (panel.window) {
    RECT client;
    GetClientRect(panel.window, &client);
    panel.status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 16, client.right - 32,
                                   client.bottom - 32, panel.window, reinterpret_cast<HMENU>(kStatusId),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(panel.status, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  EnterCriticalSection(&g_lock);
  const ProgressHandle h = g_next++;
  g_panels[h] = panel;
  LeaveCriticalSection(&g_lock);
  Record("Create\t" + std::to_string(h));
  return h;
}

extern "C" void ProgressDlg_SetFont(ProgressHandle h, win::HFONT font) {
  Panel* p = Find(h);
  if (!p) return;
  p->font = reinterpret_cast<HFONT>(font);
  LOGFONTW lf = {};
  if (p->font && GetObjectW(p->font, sizeof lf, &lf) > 0) {
    Record("SetFont\t" + std::to_string(h) + "\t" + Escape(Utf8(lf.lfFaceName)) + "\t" + std::to_string(lf.lfHeight));
  } else {
    Record("SetFont\t" + std::to_string(h) + "\tnone");
  }
  if (p->status && p->font) SendMessageW(p->status, WM_SETFONT, reinterpret_cast<WPARAM>(p->font), TRUE);
}

extern "C" int ProgressDlg_Excute(ProgressHandle h, ProgressWork work, void* context) {
  Panel* p = Find(h);
  if (!p || !work) return 0;
  WorkStart start{work, context, 0};
  Record("Excute\t" + std::to_string(h) + "\tbegin");
  if (p->window) {
    ShowWindow(p->window, SW_SHOWNORMAL);
    UpdateWindow(p->window);
  }
  HANDLE thread = CreateThread(nullptr, 0, WorkThread, &start, 0, nullptr);
  if (!thread) {
    WorkThread(&start);  // no thread to be had: run the work here, the window then waits
    Record("Excute\t" + std::to_string(h) + "\tend\t" + std::to_string(start.result));
    return start.result;
  }
  // Pump the window's messages until the work has ended.
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (wait == WAIT_FAILED) {
      WaitForSingleObject(thread, INFINITE);
      break;
    }
  }
  CloseHandle(thread);
  Record("Excute\t" + std::to_string(h) + "\tend\t" + std::to_string(start.result));
  return start.result;
}

extern "C" void ProgressDlg_SetMessage(ProgressHandle h, const wchar_t* text) {
  Panel* p = Find(h);
  if (!p) return;
  Record("SetMessage\t" + std::to_string(h) + "\t" + Escape(Utf8(text ? text : L"")));
  if (p->window) {
    SendMessageW(p->window, kSetStatus, 0, reinterpret_cast<LPARAM>(text ? text : L""));
  } else {
    WriteConsoleLine(text ? text : L"");
  }
}

extern "C" int ProgressDlg_MessageBox(ProgressHandle h, const wchar_t* text, const wchar_t* caption, unsigned style) {
  Panel* p = Find(h);
  if (!p) return 0;
  BoxRequest box{text ? text : L"", caption ? caption : L"", style, 0};
  Record("MessageBox\t" + std::to_string(h) + "\t" + std::to_string(style) + "\t" + Escape(Utf8(box.caption)) + "\t" +
         Escape(Utf8(box.text)));
  if (p->window) {
    SendMessageW(p->window, kShowBox, 0, reinterpret_cast<LPARAM>(&box));
  } else {
    WriteConsoleLine(box.caption);
    WriteConsoleLine(box.text);
    box.result = MessageBoxW(nullptr, box.text, box.caption, box.style | MB_OK);
  }
  return box.result;
}

extern "C" void ProgressDlg_Destroy(ProgressHandle h) {
  EnterCriticalSection(&g_lock);
  auto it = g_panels.find(h);
  if (it != g_panels.end()) {
    if (it->second.window) DestroyWindow(it->second.window);
    g_panels.erase(it);
    Record("Destroy\t" + std::to_string(h));
  }
  LeaveCriticalSection(&g_lock);
}
