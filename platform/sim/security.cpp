// Simulated machine: the process token, privileges, and control requests to opened devices.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/security.h"
#include "platform/sim/devices.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"

namespace sim {
namespace {
struct TokenObject : Object {};
constexpr win::DWORD kSeDebugPrivilege = 20;
}  // namespace
}  // namespace sim

namespace win {

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
  (void)access;
  if (process != GetCurrentProcess() || !token) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  *token = sim::Handles().Add(std::make_shared<sim::TokenObject>());
  return TRUE;
}

BOOL LookupPrivilegeValueW(LPCWSTR system, LPCWSTR name, LUID* luid) {
  if (system || !name || !luid) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (std::wstring(name) != L"SeDebugPrivilege") return sim::Fail(ERROR_NO_SUCH_PRIVILEGE, FALSE);
  luid->LowPart = sim::kSeDebugPrivilege;
  luid->HighPart = 0;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                           TOKEN_PRIVILEGES* previous, DWORD* returnLength) {
  (void)disableAll;
  (void)length;
  (void)previous;
  if (returnLength) *returnLength = 0;
  if (!sim::Handles().Holds<sim::TokenObject>(token)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!state) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  bool all = true;
  for (DWORD i = 0; i < state->PrivilegeCount && i < 1; ++i) {
    const bool debug = state->Privileges[i].Luid.LowPart == sim::kSeDebugPrivilege && state->Privileges[i].Luid.HighPart == 0;
    if (!debug || !sim::Current().Desc().process.debugPrivilege) all = false;
  }
  SetLastError(all ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
  return TRUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, DWORD* returned,
                     void* overlapped) {
  if (returned) *returned = 0;
  auto d = sim::Handles().Get<sim::DeviceFileObject>(device);
  if (!d) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (overlapped) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  sim::Record::IoRequest request{d->path, code, inSize, outSize, {}};
  const DWORD recorded = std::max(inSize, outSize);
  if (in && recorded) request.bytes.assign(static_cast<BYTE*>(in), static_cast<BYTE*>(in) + recorded);
  m.Observed().ioRequests.push_back(request);
  m.CardRequest(d->device, code, static_cast<const BYTE*>(in), inSize, outSize);
  (void)out;
  if (returned) *returned = inSize;
  return TRUE;
}

}  // namespace win
