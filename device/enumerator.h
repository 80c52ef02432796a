// Listing devices and interfaces through the device installation services.
#pragma once

#include <string>
#include <vector>

#include "platform/setupapi.h"

/// One listed device or interface.
struct DeviceRecord {
  std::wstring strSymbolicName;  // the interface path (interface listing only)
  std::wstring strFriendlyName;
  std::wstring strDeviceDesc;
  std::wstring strPdoName;
  std::wstring strInstanceID;
  win::DWORD dwDevInst = 0;
};

/// Holds the device information set of its last listing.
class CDeviceEnumerator {
 public:
  CDeviceEnumerator() = default;
  CDeviceEnumerator(const CDeviceEnumerator&) = delete;
  CDeviceEnumerator& operator=(const CDeviceEnumerator&) = delete;
  ~CDeviceEnumerator() { Release(); }

  /// Appends one record per present interface of `interfaceGuid`; returns the list's size (0 when
  /// the set cannot be opened). An interface whose detail cannot be read is skipped.
  int EnumInterfaces(const win::GUID& interfaceGuid, std::vector<DeviceRecord>& records);

  /// Appends one record per device: the present devices of setup class `classGuid`, or with
  /// `presentOnly` false every installed device of every class. Returns the list's size.
  int EnumDevices(const win::GUID& classGuid, std::vector<DeviceRecord>& records, bool presentOnly);

  /// One registry property as text (the first string of a multi-string); empty when unreadable.
  std::wstring GetPropertyString(win::HDEVINFO set, win::SP_DEVINFO_DATA& device, win::DWORD property);

  /// Destroys the held set, if any.
  void Release();

 private:
  std::wstring GetInstanceId(win::SP_DEVINFO_DATA& device);
  void FillProperties(win::SP_DEVINFO_DATA& device, DeviceRecord& record);

  win::HDEVINFO m_set = win::INVALID_HANDLE_VALUE;
};

/// True as soon as one present USB device has a card hardware ID and the compatible IDs of a
/// composite device (the card has left its CD-ROM-only form).
bool IsCompositeCardPresent();

inline constexpr win::GUID GUID_DEVCLASS_USB = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr win::GUID GUID_DEVCLASS_CDROM = {0x4D36E965, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr win::GUID GUID_DEVINTERFACE_CDROM = {0x53F56308, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
