// Win32 forwarding: SetupAPI.
#include <cstddef>

#include "platform/inf.h"
#include "platform/newdev.h"
#include "platform/setupapi.h"
#include "platform/win32/win32.h"
#include <setupapi.h>
#include <cfgmgr32.h>
#include <newdev.h>

static_assert(sizeof(win::GUID) == sizeof(::GUID));
static_assert(sizeof(win::SP_DEVINFO_DATA) == sizeof(::SP_DEVINFO_DATA));
static_assert(sizeof(win::SP_DEVICE_INTERFACE_DATA) == sizeof(::SP_DEVICE_INTERFACE_DATA));
static_assert(sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W) == sizeof(::SP_DEVICE_INTERFACE_DETAIL_DATA_W));
static_assert(offsetof(win::SP_DEVINFO_DATA, DevInst) == offsetof(::SP_DEVINFO_DATA, DevInst));
static_assert(sizeof(win::SP_PROPCHANGE_PARAMS) == sizeof(::SP_PROPCHANGE_PARAMS));
static_assert(sizeof(win::SP_REMOVEDEVICE_PARAMS) == sizeof(::SP_REMOVEDEVICE_PARAMS));
static_assert(sizeof(win::INFCONTEXT) == sizeof(::INFCONTEXT));

namespace win {

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR enumerator, void* parent, DWORD flags) {
  return ::SetupDiGetClassDevsW(reinterpret_cast<const ::GUID*>(classGuid), enumerator, static_cast<::HWND>(parent),
                                flags);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) { return ::SetupDiDestroyDeviceInfoList(set); }

BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data) {
  return ::SetupDiEnumDeviceInfo(set, index, reinterpret_cast<::SP_DEVINFO_DATA*>(data));
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, SP_DEVINFO_DATA* device, const GUID* interfaceGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* data) {
  return ::SetupDiEnumDeviceInterfaces(set, reinterpret_cast<::SP_DEVINFO_DATA*>(device),
                                       reinterpret_cast<const ::GUID*>(interfaceGuid), index,
                                       reinterpret_cast<::SP_DEVICE_INTERFACE_DATA*>(data));
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize, DWORD* required,
                                      SP_DEVINFO_DATA* device) {
  ::DWORD need = 0;
  const ::BOOL ok = ::SetupDiGetDeviceInterfaceDetailW(
      set, reinterpret_cast<::SP_DEVICE_INTERFACE_DATA*>(data),
      reinterpret_cast<::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detail), detailSize, &need,
      reinterpret_cast<::SP_DEVINFO_DATA*>(device));
  if (required) *required = need;
  return ok;
}

BOOL SetupDiGetDeviceInstanceIdW(HDEVINFO set, SP_DEVINFO_DATA* device, LPWSTR buffer, DWORD size, DWORD* required) {
  ::DWORD need = 0;
  const ::BOOL ok =
      ::SetupDiGetDeviceInstanceIdW(set, reinterpret_cast<::SP_DEVINFO_DATA*>(device), buffer, size, &need);
  if (required) *required = need;
  return ok;
}

BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type,
                                       BYTE* buffer, DWORD size, DWORD* required) {
  ::DWORD t = 0;
  ::DWORD need = 0;
  const ::BOOL ok = ::SetupDiGetDeviceRegistryPropertyW(set, reinterpret_cast<::SP_DEVINFO_DATA*>(device), property,
                                                        &t, buffer, size, &need);
  if (type) *type = t;
  if (required) *required = need;
  return ok;
}

}  // namespace win

namespace win {

BOOL SetupDiSetClassInstallParamsW(HDEVINFO set, SP_DEVINFO_DATA* device, SP_CLASSINSTALL_HEADER* header, DWORD size) {
  return ::SetupDiSetClassInstallParamsW(set, reinterpret_cast<::SP_DEVINFO_DATA*>(device),
                                         reinterpret_cast<::SP_CLASSINSTALL_HEADER*>(header), size);
}

BOOL SetupDiCallClassInstaller(DWORD function, HDEVINFO set, SP_DEVINFO_DATA* device) {
  return ::SetupDiCallClassInstaller(function, set, reinterpret_cast<::SP_DEVINFO_DATA*>(device));
}

CONFIGRET CM_Get_DevNode_Status(DWORD* status, DWORD* problem, DEVINST node, DWORD flags) {
  ::ULONG s = 0;
  ::ULONG p = 0;
  const ::CONFIGRET r = ::CM_Get_DevNode_Status(&s, &p, node, flags);
  if (r == CR_SUCCESS) {
    if (status) *status = s;
    if (problem) *problem = p;
  }
  return r;
}

}  // namespace win

namespace win {

HKEY SetupDiOpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                          REGSAM access) {
  return reinterpret_cast<HKEY>(
      ::SetupDiOpenDevRegKey(set, reinterpret_cast<::SP_DEVINFO_DATA*>(device), scope, profile, keyType, access));
}

HINF SetupOpenInfFileW(LPCWSTR name, LPCWSTR infClass, DWORD style, UINT* errorLine) {
  return ::SetupOpenInfFileW(name, infClass, style, errorLine);
}

void SetupCloseInfFile(HINF inf) { ::SetupCloseInfFile(inf); }

BOOL SetupFindFirstLineW(HINF inf, LPCWSTR section, LPCWSTR key, INFCONTEXT* context) {
  return ::SetupFindFirstLineW(inf, section, key, reinterpret_cast<::INFCONTEXT*>(context));
}

BOOL SetupFindNextLine(const INFCONTEXT* in, INFCONTEXT* out) {
  return ::SetupFindNextLine(reinterpret_cast<::INFCONTEXT*>(const_cast<INFCONTEXT*>(in)), reinterpret_cast<::INFCONTEXT*>(out));
}

DWORD SetupGetFieldCount(const INFCONTEXT* context) {
  return ::SetupGetFieldCount(reinterpret_cast<::INFCONTEXT*>(const_cast<INFCONTEXT*>(context)));
}

BOOL SetupGetStringFieldW(const INFCONTEXT* context, DWORD index, LPWSTR buffer, DWORD size, DWORD* required) {
  ::DWORD need = 0;
  const ::BOOL ok = ::SetupGetStringFieldW(reinterpret_cast<::INFCONTEXT*>(const_cast<INFCONTEXT*>(context)), index,
                                           buffer, size, &need);
  if (required) *required = need;
  return ok;
}

BOOL UpdateDriverForPlugAndPlayDevicesW(void* window, LPCWSTR hardwareId, LPCWSTR fullInfPath, DWORD flags,
                                        BOOL* rebootRequired) {
  ::BOOL reboot = FALSE;
  const ::BOOL ok = ::UpdateDriverForPlugAndPlayDevicesW(static_cast<::HWND>(window), hardwareId, fullInfPath, flags,
                                                         rebootRequired ? &reboot : nullptr);
  if (rebootRequired) *rebootRequired = reboot;
  return ok;
}

}  // namespace win
