// Simulated machine: the process's command line and thread-local storage slots.
#include <mutex>
#include <set>
#include <string>

#include "platform/error.h"
#include "platform/process.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/process.h"

namespace sim {

namespace {
std::mutex g_processLock;
std::wstring g_commandLine;
std::set<win::DWORD> g_tlsSlots;
}  // namespace

void SetCommandLine(const std::wstring& commandLine) {
  std::lock_guard<std::mutex> guard(g_processLock);
  g_commandLine = commandLine;
}

std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace sim

namespace win {

LPWSTR GetCommandLineW() {
  std::lock_guard<std::mutex> guard(sim::g_processLock);
  if (sim::g_commandLine.empty()) sim::g_commandLine = sim::QuoteArgument(sim::Current().Desc().process.image);
  return sim::g_commandLine.data();
}

DWORD TlsAlloc() {
  const DWORD limit = sim::Current().Desc().process.tlsSlots;
  std::lock_guard<std::mutex> guard(sim::g_processLock);
  for (DWORD i = 0; i < limit; ++i) {
    if (sim::g_tlsSlots.insert(i).second) return i;
  }
  return sim::Fail(ERROR_NO_MORE_ITEMS, TLS_OUT_OF_INDEXES);
}

BOOL TlsFree(DWORD index) {
  std::lock_guard<std::mutex> guard(sim::g_processLock);
  if (sim::g_tlsSlots.erase(index) == 0) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  return TRUE;
}

}  // namespace win
