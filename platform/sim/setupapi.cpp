// Simulated machine: device information sets over the machine's device tree.
#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <string>
#include <map>
#include <vector>

#include "platform/error.h"
#include "platform/setupapi.h"
#include "platform/sim/drivers.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/objects.h"

namespace sim {

namespace {

constexpr win::DWORD ERROR_NO_SUCH_DEVICE_INTERFACE = 0xE000020B;

// A set: the devices (and, for interface sets, the interfaces) it held when it was made.
struct DevInfoSet : Object {
  struct Member {
    std::size_t device;     // index in the machine's device list
    std::size_t interface;  // index in the device's interfaces (interface sets)
  };
  std::vector<std::size_t> devices;
  std::vector<Member> interfaces;
  std::string interfaceGuid;
  std::map<win::DWORD, win::SP_PROPCHANGE_PARAMS> installParams;  // by DevInst
  std::map<win::DWORD, win::SP_REMOVEDEVICE_PARAMS> removeParams;  // by DevInst
};

std::string GuidText(const win::GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

win::GUID ParseGuid(const std::string& text) {
  win::GUID g{};
  unsigned d[11] = {};
  if (std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d[0], &d[1], &d[2], &d[3], &d[4], &d[5],
                  &d[6], &d[7], &d[8], &d[9], &d[10]) == 11) {
    g.Data1 = d[0];
    g.Data2 = static_cast<win::WORD>(d[1]);
    g.Data3 = static_cast<win::WORD>(d[2]);
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<win::BYTE>(d[3 + i]);
  }
  return g;
}

// The device a SP_DEVINFO_DATA names (DevInst is the device's place in the tree, from 1).
const DeviceDescription* DeviceOf(const Machine& m, const win::SP_DEVINFO_DATA* data) {
  if (!data || data->cbSize != sizeof(win::SP_DEVINFO_DATA)) return nullptr;
  if (data->DevInst == 0 || data->DevInst > m.Desc().devices.size()) return nullptr;
  return &m.Desc().devices[data->DevInst - 1];
}

void Fill(const Machine& m, std::size_t index, win::SP_DEVINFO_DATA* data) {
  data->ClassGuid = ParseGuid(m.Desc().devices[index].classGuid);
  data->DevInst = static_cast<win::DWORD>(index + 1);
  data->Reserved = 0;
}

}  // namespace

}  // namespace sim

namespace win {

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR enumerator, void* parent, DWORD flags) {
  if (enumerator || parent || (!classGuid && !(flags & DIGCF_ALLCLASSES))) {
    return sim::Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  m.UpdateCards();
  auto set = std::make_shared<sim::DevInfoSet>();
  const std::string want = classGuid ? sim::GuidText(*classGuid) : std::string();
  const auto& devices = m.Desc().devices;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const sim::DeviceDescription& d = devices[i];
    if (d.removed) continue;
    if ((flags & DIGCF_PRESENT) && !d.present) continue;
    if (flags & DIGCF_DEVICEINTERFACE) {
      bool any = false;
      for (std::size_t k = 0; k < d.interfaces.size(); ++k) {
        if ((flags & DIGCF_ALLCLASSES) || d.interfaces[k].classGuid == want) {
          set->interfaces.push_back({i, k});
          any = true;
        }
      }
      if (any) set->devices.push_back(i);
    } else if ((flags & DIGCF_ALLCLASSES) || d.classGuid == want) {
      set->devices.push_back(i);
    }
  }
  set->interfaceGuid = want;
  SetLastError(ERROR_SUCCESS);
  return sim::Handles().Add(set);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  if (!sim::Handles().Holds<sim::DevInfoSet>(set)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::Handles().Close(set);
  return TRUE;
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) {
  auto s = sim::Handles().Get<sim::DevInfoSet>(set);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA)) return sim::Fail(ERROR_INVALID_USER_BUFFER, FALSE);
  if (index >= s->devices.size()) return sim::Fail(ERROR_NO_MORE_ITEMS, FALSE);
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  sim::Fill(m, s->devices[index], data);
  return TRUE;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, SP_DEVINFO_DATA* device, const GUID* interfaceGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* data) {
  auto s = sim::Handles().Get<sim::DevInfoSet>(set);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!interfaceGuid || !data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
    return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  const std::string want = sim::GuidText(*interfaceGuid);
  DWORD seen = 0;
  for (std::size_t i = 0; i < s->interfaces.size(); ++i) {
    const auto& member = s->interfaces[i];
    if (device && device->DevInst != member.device + 1) continue;
    sim::Machine& m = sim::Current();
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    if (member.device >= m.Desc().devices.size() ||
        member.interface >= m.Desc().devices[member.device].interfaces.size())
      continue;
    if (m.Desc().devices[member.device].interfaces[member.interface].classGuid != want) continue;
    if (seen++ != index) continue;
    data->InterfaceClassGuid = *interfaceGuid;
    data->Flags = 1;  // SPINT_ACTIVE
    data->Reserved = i + 1;
    return TRUE;
  }
  return sim::Fail(ERROR_NO_MORE_ITEMS, FALSE);
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize, DWORD* required,
                                      SP_DEVINFO_DATA* device) {
  auto s = sim::Handles().Get<sim::DevInfoSet>(set);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!data || data->Reserved == 0 || data->Reserved > s->interfaces.size()) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  const auto& member = s->interfaces[data->Reserved - 1];
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (member.device >= m.Desc().devices.size()) return sim::Fail(ERROR_NO_MORE_ITEMS, FALSE);
  const sim::DeviceDescription& d = m.Desc().devices[member.device];
  if (member.interface >= d.interfaces.size()) return sim::Fail(ERROR_NO_MORE_ITEMS, FALSE);
  if (d.detailFails) return sim::Fail(sim::ERROR_NO_SUCH_DEVICE_INTERFACE, FALSE);
  const std::wstring& path = d.interfaces[member.interface].symbolicLink;
  const DWORD need = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                        (path.size() + 1) * sizeof(WCHAR));
  if (required) *required = need;
  if (detail && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return sim::Fail(ERROR_INVALID_USER_BUFFER, FALSE);
  if (!detail || detailSize < need) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  std::copy(path.begin(), path.end(), detail->DevicePath);
  detail->DevicePath[path.size()] = L'\0';
  if (device) {
    if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return sim::Fail(ERROR_INVALID_USER_BUFFER, FALSE);
    sim::Fill(m, member.device, device);
  }
  return TRUE;
}

BOOL SetupDiGetDeviceInstanceIdW(HDEVINFO set, SP_DEVINFO_DATA* device, LPWSTR buffer, DWORD size, DWORD* required) {
  if (!sim::Handles().Holds<sim::DevInfoSet>(set)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::DeviceDescription* d = sim::DeviceOf(m, device);
  if (!d) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  const DWORD need = static_cast<DWORD>(d->instanceId.size() + 1);
  if (required) *required = need;
  if (!buffer || size < need) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  std::copy(d->instanceId.begin(), d->instanceId.end(), buffer);
  buffer[d->instanceId.size()] = L'\0';
  return TRUE;
}

BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type,
                                       BYTE* buffer, DWORD size, DWORD* required) {
  if (!sim::Handles().Holds<sim::DevInfoSet>(set)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::DeviceDescription* d = sim::DeviceOf(m, device);
  if (!d) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  std::wstring value;  // the property's text with its terminators
  DWORD valueType = REG_SZ;
  auto single = [&](const std::wstring& text) {
    if (text.empty()) return false;
    value = text + L'\0';
    return true;
  };
  auto multi = [&](const std::vector<std::wstring>& list) {
    if (list.empty()) return false;
    for (const auto& item : list) value += item + L'\0';
    value += L'\0';
    valueType = REG_MULTI_SZ;
    return true;
  };
  bool has = false;
  switch (property) {
    case SPDRP_DEVICEDESC: has = single(d->description); break;
    case SPDRP_HARDWAREID: has = multi(d->hardwareIds); break;
    case SPDRP_COMPATIBLEIDS: has = multi(d->compatibleIds); break;
    case SPDRP_CLASS: has = single(d->className); break;
    case SPDRP_CLASSGUID: has = single(std::wstring(d->classGuid.begin(), d->classGuid.end())); break;
    case SPDRP_DRIVER: has = single(d->driver); break;
    case SPDRP_FRIENDLYNAME: has = single(d->friendlyName); break;
    case SPDRP_PHYSICAL_DEVICE_OBJECT_NAME: has = single(d->pdoName); break;
    default: break;
  }
  if (!has) return sim::Fail(ERROR_INVALID_DATA, FALSE);
  const DWORD need = static_cast<DWORD>(value.size() * sizeof(WCHAR));
  if (required) *required = need;
  if (type) *type = valueType;
  if (!buffer || size < need) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  std::memcpy(buffer, value.data(), need);
  return TRUE;
}

}  // namespace win

namespace win {

BOOL SetupDiSetClassInstallParamsW(HDEVINFO set, SP_DEVINFO_DATA* device, SP_CLASSINSTALL_HEADER* header, DWORD size) {
  auto s = sim::Handles().Get<sim::DevInfoSet>(set);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!header || header->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return sim::Fail(ERROR_INVALID_USER_BUFFER, FALSE);
  if (!device) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (header->InstallFunction == DIF_PROPERTYCHANGE && size == sizeof(SP_PROPCHANGE_PARAMS)) {
    s->installParams[device->DevInst] = *reinterpret_cast<SP_PROPCHANGE_PARAMS*>(header);
    return TRUE;
  }
  if (header->InstallFunction == DIF_REMOVE && size == sizeof(SP_REMOVEDEVICE_PARAMS)) {
    s->removeParams[device->DevInst] = *reinterpret_cast<SP_REMOVEDEVICE_PARAMS*>(header);
    return TRUE;
  }
  return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
}

BOOL SetupDiCallClassInstaller(DWORD function, HDEVINFO set, SP_DEVINFO_DATA* device) {
  auto s = sim::Handles().Get<sim::DevInfoSet>(set);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (function == DIF_REMOVE && device) {
    sim::Machine& m = sim::Current();
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    if (device->DevInst == 0 || device->DevInst > m.Desc().devices.size() ||
        m.Desc().devices[device->DevInst - 1].removed) {
      return sim::Fail(ERROR_NO_SUCH_DEVINST, FALSE);
    }
    // Without stored parameters the removal is global, as Windows takes it.
    auto params = s->removeParams.find(device->DevInst);
    if (params != s->removeParams.end() && params->second.Scope != DI_REMOVEDEVICE_GLOBAL) {
      return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    sim::RemoveDevice(device->DevInst - 1);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (function != DIF_PROPERTYCHANGE || !device) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  auto params = s->installParams.find(device->DevInst);
  if (params == s->installParams.end()) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (device->DevInst == 0 || device->DevInst > m.Desc().devices.size()) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::DeviceDescription& d = m.MutableDesc().devices[device->DevInst - 1];
  const SP_PROPCHANGE_PARAMS& p = params->second;
  const bool enable = p.StateChange == DICS_ENABLE;
  const bool global = p.Scope == DICS_FLAG_GLOBAL;
  if ((p.StateChange != DICS_ENABLE && p.StateChange != DICS_DISABLE) ||
      (p.Scope != DICS_FLAG_GLOBAL && p.Scope != DICS_FLAG_CONFIGSPECIFIC)) {
    return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  m.Observed().propertyChanges.push_back(std::wstring(enable ? L"enable " : L"disable ") + (global ? L"global " : L"config ") +
                                         d.instanceId);
  if (d.stateChangeFails) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  (global ? d.disabledGlobal : d.disabledConfig) = !enable;
  m.SetDirty();
  return TRUE;
}

CONFIGRET CM_Get_DevNode_Status(DWORD* status, DWORD* problem, DEVINST node, DWORD flags) {
  if (!status || !problem || flags != 0) return 0x1F;  // CR_INVALID_POINTER / CR_INVALID_FLAG
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  m.UpdateCards();
  if (node == 0 || node > m.Desc().devices.size()) return CR_INVALID_DEVNODE;
  const sim::DeviceDescription& d = m.Desc().devices[node - 1];
  if (!d.present || d.removed) return CR_NO_SUCH_DEVINST;
  const DWORD prob = (d.disabledGlobal || d.disabledConfig) ? CM_PROB_DISABLED : d.problem;
  *problem = prob;
  *status = prob ? DN_HAS_PROBLEM : (DN_DRIVER_LOADED | DN_STARTED);
  return CR_SUCCESS;
}

}  // namespace win

namespace win {

HKEY SetupDiOpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD, DWORD keyType, REGSAM) {
  HKEY const invalid = reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  if (!sim::Handles().Holds<sim::DevInfoSet>(set)) return sim::Fail(ERROR_INVALID_HANDLE, invalid);
  if (scope != DICS_FLAG_GLOBAL || (keyType != DIREG_DEV && keyType != DIREG_DRV)) {
    return sim::Fail(ERROR_INVALID_FLAGS, invalid);
  }
  sim::Machine& m = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  const sim::DeviceDescription* d = sim::DeviceOf(m, device);
  if (!d || d->removed) return sim::Fail(ERROR_INVALID_PARAMETER, invalid);
  if (keyType == DIREG_DRV) {
    if (d->driver.empty() || !m.Reg().Find(sim::DriverKeyPath(d->driver))) return sim::Fail(ERROR_KEY_DOES_NOT_EXIST, invalid);
    SetLastError(ERROR_SUCCESS);
    return sim::OpenKeyHandle(m.Reg().Find(sim::DriverKeyPath(d->driver))->path);
  }
  const std::wstring params = sim::EnumKeyPath(d->instanceId) + L"\\Device Parameters";
  m.Reg().Create(params);
  m.SetDirty();
  SetLastError(ERROR_SUCCESS);
  return sim::OpenKeyHandle(m.Reg().Find(params)->path);
}

}  // namespace win
