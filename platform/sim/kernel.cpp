// Simulated machine: last error, version and system information, modules, handles, clock, debugger output.
#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/debug.h"
#include "platform/error.h"
#include "platform/handle.h"
#include "platform/module.h"
#include "platform/sim/fs.h"
#include "platform/sim/drivers.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/threads.h"
#include "platform/sim/unicode.h"
#include "platform/version.h"

namespace fs = std::filesystem;

namespace win {

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code) { t_lastError = code; }

}  // namespace win

namespace sim {

namespace {

void WINCALL SimGetNativeSystemInfo(win::SYSTEM_INFO* info) {
  Machine& m = Current();
  std::memset(info, 0, sizeof *info);
  switch (m.Desc().os.architecture) {
    case Architecture::X86: info->wProcessorArchitecture = win::PROCESSOR_ARCHITECTURE_INTEL; info->dwProcessorType = 586; break;
    case Architecture::Amd64: info->wProcessorArchitecture = win::PROCESSOR_ARCHITECTURE_AMD64; info->dwProcessorType = 8664; break;
    case Architecture::Ia64: info->wProcessorArchitecture = win::PROCESSOR_ARCHITECTURE_IA64; info->dwProcessorType = 2200; break;
  }
  info->dwPageSize = 4096;
  info->lpMinimumApplicationAddress = reinterpret_cast<void*>(0x10000);
  info->lpMaximumApplicationAddress = reinterpret_cast<void*>(0x7FFEFFFF);
  info->dwActiveProcessorMask = 3;
  info->dwNumberOfProcessors = 2;
  info->dwAllocationGranularity = 65536;
  info->wProcessorLevel = 6;
}

// One export of a system library, and whether this machine's version of the library has it.
struct SystemExport {
  const wchar_t* library;
  const char* name;
  win::FARPROC proc;
  bool (*present)(const Machine&);
};

const std::vector<SystemExport>& SystemExports() {
  static const std::vector<SystemExport> exports = {
      {L"kernel32.dll", "GetNativeSystemInfo", reinterpret_cast<win::FARPROC>(&SimGetNativeSystemInfo),
       [](const Machine& m) { return m.Desc().os.nativeSystemInfo; }},
      {L"setupapi.dll", "SetupUninstallOEMInfW", reinterpret_cast<win::FARPROC>(&SimSetupUninstallOEMInfW),
       [](const Machine& m) { return m.Desc().os.major > 5 || (m.Desc().os.major == 5 && m.Desc().os.minor >= 1); }},
  };
  return exports;
}

bool IsSystemLibrary(std::wstring_view lowerName) {
  for (const auto& e : SystemExports()) {
    if (lowerName == e.library) return true;
  }
  return lowerName == L"kernel32.dll";
}

struct Module {
  std::wstring lowerName;  // file name, lower case
  std::wstring path;       // Windows path
  bool system = false;
  void* dl = nullptr;
  int refs = 0;
};

std::mutex g_moduleLock;
std::map<std::uintptr_t, Module> g_modules;
std::uintptr_t g_nextModule = 0x10000000;
constexpr std::uintptr_t kExeModule = 0x00400000;  // the executable's image base

std::wstring LowerAscii(std::wstring s) {
  for (auto& c : s) if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return s;
}

std::wstring FileNameOf(const std::wstring& path) {
  const auto sep = path.find_last_of(L"\\/");
  return sep == std::wstring::npos ? path : path.substr(sep + 1);
}

win::HMODULE ToHandle(std::uintptr_t v) { return reinterpret_cast<win::HMODULE>(v); }

}  // namespace

}  // namespace sim

namespace win {

BOOL GetVersionExW(OSVERSIONINFOW* info) {
  if (!info) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  // OSVERSIONINFOEXW adds 8 bytes to the plain structure.
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) + 8) {
    return sim::Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  const auto& os = sim::Current().Desc().os;
  info->dwMajorVersion = os.major;
  info->dwMinorVersion = os.minor;
  info->dwBuildNumber = os.build;
  info->dwPlatformId = os.platformId;
  std::fill(std::begin(info->szCSDVersion), std::end(info->szCSDVersion), L'\0');
  std::copy_n(os.servicePack.begin(), std::min<std::size_t>(os.servicePack.size(), 127), info->szCSDVersion);
  return TRUE;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  std::wstring path;
  {
    const auto v = reinterpret_cast<std::uintptr_t>(module);
    if (v == 0 || v == sim::kExeModule) {
      path = sim::Current().Desc().process.image;
    } else {
      std::lock_guard<std::mutex> guard(sim::g_moduleLock);
      auto it = sim::g_modules.find(v);
      if (it == sim::g_modules.end()) return sim::Fail(ERROR_MOD_NOT_FOUND, DWORD{0});
      path = it->second.path;
    }
  }
  if (size == 0) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, DWORD{0});
  if (path.size() >= size) {
    std::copy_n(path.begin(), size - 1, buffer);
    buffer[size - 1] = L'\0';
    return sim::Fail(ERROR_INSUFFICIENT_BUFFER, size);
  }
  std::copy(path.begin(), path.end(), buffer);
  buffer[path.size()] = L'\0';
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

HMODULE GetModuleHandleW(LPCWSTR name) {
  if (!name) return sim::ToHandle(sim::kExeModule);
  const std::wstring want = sim::LowerAscii(sim::FileNameOf(name));
  if (sim::EqualNoCase(want, sim::FileNameOf(sim::Current().Desc().process.image))) return sim::ToHandle(sim::kExeModule);
  std::lock_guard<std::mutex> guard(sim::g_moduleLock);
  for (const auto& [value, mod] : sim::g_modules) {
    if (sim::EqualNoCase(mod.lowerName, want) || sim::EqualNoCase(mod.lowerName, want + L".dll")) return sim::ToHandle(value);
  }
  return sim::Fail(ERROR_MOD_NOT_FOUND, static_cast<HMODULE>(nullptr));
}

HMODULE LoadLibraryW(LPCWSTR name) {
  if (!name || !*name) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HMODULE>(nullptr));
  sim::Machine& machine = sim::Current();
  std::wstring request = name;
  const bool hasPath = request.find_first_of(L"\\/") != std::wstring::npos;
  std::wstring file = sim::FileNameOf(request);
  if (file.find(L'.') == std::wstring::npos) file += L".dll";
  const std::wstring lower = sim::LowerAscii(file);

  std::lock_guard<std::mutex> guard(sim::g_moduleLock);
  auto count = [&](const std::wstring& key) {
    std::lock_guard<std::recursive_mutex> mg(machine.Lock());
    ++machine.Observed().libraryLoads[key];
  };

  if (!hasPath && sim::IsSystemLibrary(lower)) {
    for (auto& [value, mod] : sim::g_modules) {
      if (mod.system && mod.lowerName == lower) {
        ++mod.refs;
        count(lower);
        SetLastError(ERROR_SUCCESS);
        return sim::ToHandle(value);
      }
    }
    const std::uintptr_t value = sim::g_nextModule;
    sim::g_nextModule += 0x10000;
    sim::g_modules[value] = {lower, L"C:\\WINDOWS\\system32\\" + file, true, nullptr, 1};
    count(lower);
    SetLastError(ERROR_SUCCESS);
    return sim::ToHandle(value);
  }

  // A library file on the machine's drives: by path, or by name from the executable's directory and
  // then the current directory.
  std::vector<std::wstring> candidates;
  if (hasPath) {
    candidates.push_back(request);
  } else {
    const std::wstring& image = machine.Desc().process.image;
    candidates.push_back(image.substr(0, image.rfind(L'\\') + 1) + file);
    candidates.push_back(sim::CurrentDirectory(machine) + L"\\" + file);
  }
  for (const auto& candidate : candidates) {
    sim::WinPath wp;
    if (sim::MakeFullPath(machine, candidate, false, wp) != sim::PathStatus::Ok) continue;
    auto host = sim::ResolveExisting(machine, wp);
    std::error_code ec;
    if (!host || fs::is_directory(*host, ec)) continue;
    const std::wstring full = sim::ToString(wp);
    for (auto& [value, mod] : sim::g_modules) {
      if (!mod.system && sim::EqualNoCase(mod.path, full)) {
        ++mod.refs;
        count(mod.lowerName);
        SetLastError(ERROR_SUCCESS);
        return sim::ToHandle(value);
      }
    }
    void* dl = dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) return sim::Fail(ERROR_BAD_EXE_FORMAT, static_cast<HMODULE>(nullptr));
    const std::uintptr_t value = sim::g_nextModule;
    sim::g_nextModule += 0x10000;
    const std::wstring lowerFile = sim::LowerAscii(sim::FileNameOf(full));
    sim::g_modules[value] = {lowerFile, full, false, dl, 1};
    count(lowerFile);
    SetLastError(ERROR_SUCCESS);
    return sim::ToHandle(value);
  }
  return sim::Fail(ERROR_MOD_NOT_FOUND, static_cast<HMODULE>(nullptr));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!name) return sim::Fail(ERROR_PROC_NOT_FOUND, static_cast<FARPROC>(nullptr));
  std::lock_guard<std::mutex> guard(sim::g_moduleLock);
  auto it = sim::g_modules.find(reinterpret_cast<std::uintptr_t>(module));
  if (it == sim::g_modules.end()) return sim::Fail(ERROR_INVALID_HANDLE, static_cast<FARPROC>(nullptr));
  const sim::Module& mod = it->second;
  if (mod.system) {
    sim::Machine& machine = sim::Current();
    for (const auto& e : sim::SystemExports()) {
      if (mod.lowerName == e.library && std::strcmp(e.name, name) == 0 && e.present(machine)) return e.proc;
    }
    return sim::Fail(ERROR_PROC_NOT_FOUND, static_cast<FARPROC>(nullptr));
  }
  void* sym = dlsym(mod.dl, name);
  if (!sym) return sim::Fail(ERROR_PROC_NOT_FOUND, static_cast<FARPROC>(nullptr));
  return reinterpret_cast<FARPROC>(sym);
}

BOOL FreeLibrary(HMODULE module) {
  std::lock_guard<std::mutex> guard(sim::g_moduleLock);
  auto it = sim::g_modules.find(reinterpret_cast<std::uintptr_t>(module));
  if (it == sim::g_modules.end()) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  {
    sim::Machine& machine = sim::Current();
    std::lock_guard<std::recursive_mutex> mg(machine.Lock());
    ++machine.Observed().libraryFrees[it->second.lowerName];
  }
  if (--it->second.refs == 0) {
    if (it->second.dl) dlclose(it->second.dl);
    sim::g_modules.erase(it);
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  if (!sim::Handles().Close(handle)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  return TRUE;
}

DWORD GetTickCount() { return sim::Current().TickCount(); }

// The thread waits its time out beside the machine's other threads (platform/sim/threads.cpp): on
// the virtual clock the time passes at once when no other thread is ready to run.
void Sleep(DWORD milliseconds) { sim::WaitFor(nullptr, milliseconds); }

void OutputDebugStringW(LPCWSTR text) {
  const DWORD saved = GetLastError();
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  machine.Observed().debugOutput.emplace_back(text ? text : L"");
  SetLastError(saved);
}

}  // namespace win
