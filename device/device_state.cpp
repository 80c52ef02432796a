// Device enable and disable through the class installer's property change.
#include "device/device_state.h"

#include "env/log.h"
#include "platform/scoped.h"
#include "platform/setupapi.h"

namespace {

bool ChangeProperty(win::HDEVINFO set, win::SP_DEVINFO_DATA& device, win::DWORD stateChange, win::DWORD scope) {
  win::SP_PROPCHANGE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof(win::SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = win::DIF_PROPERTYCHANGE;
  params.StateChange = stateChange;
  params.Scope = scope;
  params.HwProfile = 0;  // the current hardware profile
  return win::SetupDiSetClassInstallParamsW(set, &device, &params.ClassInstallHeader, sizeof params) &&
         win::SetupDiCallClassInstaller(win::DIF_PROPERTYCHANGE, set, &device);
}

}  // namespace

bool SetDeviceState(const std::wstring& instanceId, bool enable) {
  win::ScopedGeneric<win::DevInfoTraits> set(win::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, win::DIGCF_ALLCLASSES));
  if (!set) return false;

  win::SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  bool found = false;
  for (win::DWORD index = 0; win::SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) {
    wchar_t id[256] = {};
    if (!win::SetupDiGetDeviceInstanceIdW(set.get(), &device, id, 256, nullptr)) id[0] = L'\0';
    if (instanceId == id) {
      found = true;
      break;
    }
  }
  if (!found) return false;

  win::DWORD status = 0;
  win::DWORD problem = 0;
  if (win::CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == win::CR_SUCCESS) {
    const bool hasProblem = (status & win::DN_HAS_PROBLEM) != 0;
    if (!enable && hasProblem && problem == win::CM_PROB_DISABLED) return true;
    if (enable && !hasProblem) return true;
  }

  if (enable && ChangeProperty(set.get(), device, win::DICS_ENABLE, win::DICS_FLAG_GLOBAL)) {
    WriteLog(L"%s,SetupDiCallClassInstaller Enable OK ", instanceId.c_str());
  }
  return ChangeProperty(set.get(), device, enable ? win::DICS_ENABLE : win::DICS_DISABLE, win::DICS_FLAG_CONFIGSPECIFIC);
}
