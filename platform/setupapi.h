// Device installation services (SetupAPI): device information sets, devices, interfaces, properties.
#pragma once

#include <cstring>

#include "platform/registry.h"
#include "platform/types.h"

namespace win {

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

using HDEVINFO = void*;
using DEVINST = DWORD;

inline constexpr DWORD DIGCF_DEFAULT = 0x1;
inline constexpr DWORD DIGCF_PRESENT = 0x2;
inline constexpr DWORD DIGCF_ALLCLASSES = 0x4;
inline constexpr DWORD DIGCF_PROFILE = 0x8;
inline constexpr DWORD DIGCF_DEVICEINTERFACE = 0x10;

inline constexpr DWORD SPDRP_DEVICEDESC = 0;
inline constexpr DWORD SPDRP_HARDWAREID = 1;
inline constexpr DWORD SPDRP_COMPATIBLEIDS = 2;
inline constexpr DWORD SPDRP_CLASS = 7;
inline constexpr DWORD SPDRP_CLASSGUID = 8;
inline constexpr DWORD SPDRP_DRIVER = 9;
inline constexpr DWORD SPDRP_FRIENDLYNAME = 12;
inline constexpr DWORD SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = 14;

inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;

struct SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  ULONG_PTR Reserved;
};

struct SP_DEVICE_INTERFACE_DATA {
  DWORD cbSize;
  GUID InterfaceClassGuid;
  DWORD Flags;
  ULONG_PTR Reserved;
};

// The fixed part is packed on 32-bit Windows (its size is 6 there, 8 on x64), as Windows declares it.
#if defined(_WIN32) && defined(__i386__)
#pragma pack(push, 1)
#endif
struct SP_DEVICE_INTERFACE_DETAIL_DATA_W {
  DWORD cbSize;
  WCHAR DevicePath[1];
};
#if defined(_WIN32) && defined(__i386__)
#pragma pack(pop)
#endif

// Byte counts of wide text in these calls are counts of WCHAR times sizeof(WCHAR): pass the size of
// the buffer as the compiler gives it (sizeof), never a written-out number.

/// SetupDiGetClassDevsW: a set of the devices of setup class `classGuid` (or, with DIGCF_ALLCLASSES,
/// of every class; with DIGCF_DEVICEINTERFACE, the devices exposing interfaces of class
/// `classGuid`); DIGCF_PRESENT keeps only the devices plugged in. `enumerator` and `parent` must be
/// null. Failure: INVALID_HANDLE_VALUE, last error ERROR_INVALID_PARAMETER (no class without
/// DIGCF_ALLCLASSES).
HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR enumerator, void* parent, DWORD flags);

/// SetupDiDestroyDeviceInfoList: ends a set. Failure: FALSE, last error ERROR_INVALID_HANDLE.
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);

/// SetupDiEnumDeviceInfo: the index-th device of the set. `data->cbSize` must be sizeof
/// SP_DEVINFO_DATA (else ERROR_INVALID_USER_BUFFER). Past the last: FALSE, ERROR_NO_MORE_ITEMS.
BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, SP_DEVINFO_DATA* data);

/// SetupDiEnumDeviceInterfaces: the index-th interface of class `interfaceGuid` in the set (of one
/// device when `device` is given). Past the last: FALSE, ERROR_NO_MORE_ITEMS.
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, SP_DEVINFO_DATA* device, const GUID* interfaceGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* data);

/// SetupDiGetDeviceInterfaceDetailW: the interface's device path into `detail` (whose cbSize must be
/// sizeof SP_DEVICE_INTERFACE_DETAIL_DATA_W), and its device into `device` (if given). With no
/// buffer, or one too small: FALSE, ERROR_INSUFFICIENT_BUFFER, `*required` the bytes needed.
BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize, DWORD* required,
                                      SP_DEVINFO_DATA* device);

/// SetupDiGetDeviceInstanceIdW: the device's instance ID. Buffer too small (in characters): FALSE,
/// ERROR_INSUFFICIENT_BUFFER, `*required` the characters needed with the terminator.
BOOL SetupDiGetDeviceInstanceIdW(HDEVINFO set, SP_DEVINFO_DATA* device, LPWSTR buffer, DWORD size, DWORD* required);

/// SetupDiGetDeviceRegistryPropertyW: one registry property of the device (REG_SZ or REG_MULTI_SZ
/// text). A property the device does not have: FALSE, ERROR_INVALID_DATA. Buffer too small (bytes):
/// FALSE, ERROR_INSUFFICIENT_BUFFER, `*required` the bytes needed, the buffer untouched.
BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* type,
                                       BYTE* buffer, DWORD size, DWORD* required);

/// Owner traits for a device information set (SetupDiDestroyDeviceInfoList on release).
struct DevInfoTraits {
  using Handle = HDEVINFO;
  static Handle InvalidValue() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle set) { SetupDiDestroyDeviceInfoList(set); }
};

// Class installer requests and the Configuration Manager's device-node status.

inline constexpr DWORD DIF_PROPERTYCHANGE = 0x12;
inline constexpr DWORD DICS_ENABLE = 1;
inline constexpr DWORD DICS_DISABLE = 2;
inline constexpr DWORD DICS_FLAG_GLOBAL = 1;
inline constexpr DWORD DICS_FLAG_CONFIGSPECIFIC = 2;

inline constexpr DWORD DN_DRIVER_LOADED = 0x2;
inline constexpr DWORD DN_STARTED = 0x8;
inline constexpr DWORD DN_HAS_PROBLEM = 0x400;
inline constexpr DWORD CM_PROB_DISABLED = 0x16;

using CONFIGRET = DWORD;
inline constexpr CONFIGRET CR_SUCCESS = 0;
inline constexpr CONFIGRET CR_INVALID_DEVNODE = 5;
inline constexpr CONFIGRET CR_NO_SUCH_DEVINST = 0xD;

struct SP_CLASSINSTALL_HEADER {
  DWORD cbSize;
  DWORD InstallFunction;
};

struct SP_PROPCHANGE_PARAMS {
  SP_CLASSINSTALL_HEADER ClassInstallHeader;
  DWORD StateChange;
  DWORD Scope;
  DWORD HwProfile;
};

/// SetupDiSetClassInstallParamsW: stores the parameters of the next class-installer request for the
/// device (SP_PROPCHANGE_PARAMS for DIF_PROPERTYCHANGE, SP_REMOVEDEVICE_PARAMS for DIF_REMOVE).
/// `header->cbSize` must be sizeof SP_CLASSINSTALL_HEADER. Failure: FALSE, last error
/// ERROR_INVALID_USER_BUFFER or ERROR_INVALID_PARAMETER.
BOOL SetupDiSetClassInstallParamsW(HDEVINFO set, SP_DEVINFO_DATA* device, SP_CLASSINSTALL_HEADER* header, DWORD size);

/// SetupDiCallClassInstaller: carries out `function` with the stored parameters: DIF_PROPERTYCHANGE
/// enables or disables the device, for all hardware profiles or the current one; DIF_REMOVE removes
/// the device (present or not) with its hardware and driver keys. Failure: FALSE
/// with the last error the class installer gave.
BOOL SetupDiCallClassInstaller(DWORD function, HDEVINFO set, SP_DEVINFO_DATA* device);

/// CM_Get_DevNode_Status: the device node's status bits and problem number. A device that is not
/// plugged in: CR_NO_SUCH_DEVINST, outputs untouched.
CONFIGRET CM_Get_DevNode_Status(DWORD* status, DWORD* problem, DEVINST node, DWORD flags);

// Removing devices, their driver keys, and installed copies of INF files.

inline constexpr DWORD DIF_REMOVE = 0x05;
inline constexpr DWORD DI_REMOVEDEVICE_GLOBAL = 1;

struct SP_REMOVEDEVICE_PARAMS {
  SP_CLASSINSTALL_HEADER ClassInstallHeader;
  DWORD Scope;
  DWORD HwProfile;
};

inline constexpr DWORD DIREG_DEV = 1;
inline constexpr DWORD DIREG_DRV = 2;

inline constexpr DWORD ERROR_KEY_DOES_NOT_EXIST = 0xE0000204;
inline constexpr DWORD ERROR_NO_SUCH_DEVINST = 0xE000020B;
inline constexpr DWORD ERROR_INF_IN_USE_BY_DEVICES = 0xE000023D;
inline constexpr DWORD ERROR_NO_CATALOG_FOR_OEM_INF = 0xE000022F;
inline constexpr DWORD ERROR_IN_WOW64 = 0xE0000235;

/// SetupDiOpenDevRegKey: opens the device's hardware key (DIREG_DEV) or its driver key (DIREG_DRV)
/// with `access`; `scope` DICS_FLAG_GLOBAL, `profile` 0. Failure: INVALID_HANDLE_VALUE (as an HKEY),
/// last error ERROR_KEY_DOES_NOT_EXIST when the device has no such key (a device without a driver
/// has no driver key).
HKEY SetupDiOpenDevRegKey(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD scope, DWORD profile, DWORD keyType,
                          REGSAM access);

inline constexpr DWORD SUOI_FORCEDELETE = 0x1;

/// SetupUninstallOEMInfW (Windows XP and later; look it up at run time in setupapi.dll): removes the
/// installed copy `infName` ("oem3.inf", a file of the Windows INF directory) and its precompiled
/// form. Without SUOI_FORCEDELETE a copy still used by a device stays: FALSE,
/// ERROR_INF_IN_USE_BY_DEVICES. A name that is no installed copy: FALSE, ERROR_FILE_NOT_FOUND.
using PFN_SetupUninstallOEMInfW = BOOL(WINCALL*)(LPCWSTR infName, DWORD flags, void* reserved);

}  // namespace win
