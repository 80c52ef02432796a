// Device and interface listings, and the composite-card scan.
#include "device/enumerator.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "device/card_ids.h"
#include "env/log.h"
#include "platform/scoped.h"

namespace {

constexpr win::DWORD kTextUnits = 256;  // instance IDs and properties: 255 characters and the terminator

}  // namespace

void CDeviceEnumerator::Release() {
  if (m_set != win::INVALID_HANDLE_VALUE) {
    win::SetupDiDestroyDeviceInfoList(m_set);
    m_set = win::INVALID_HANDLE_VALUE;
  }
}

std::wstring CDeviceEnumerator::GetPropertyString(win::HDEVINFO set, win::SP_DEVINFO_DATA& device,
                                                  win::DWORD property) {
  wchar_t buffer[kTextUnits] = {};
  if (!win::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<win::BYTE*>(buffer),
                                              sizeof buffer, nullptr)) {
    return {};
  }
  buffer[kTextUnits - 1] = L'\0';
  return buffer;
}

std::wstring CDeviceEnumerator::GetInstanceId(win::SP_DEVINFO_DATA& device) {
  wchar_t buffer[kTextUnits] = {};
  if (!win::SetupDiGetDeviceInstanceIdW(m_set, &device, buffer, kTextUnits, nullptr)) return {};
  return buffer;
}

void CDeviceEnumerator::FillProperties(win::SP_DEVINFO_DATA& device, DeviceRecord& record) {
  record.strInstanceID = GetInstanceId(device);
  record.strFriendlyName = GetPropertyString(m_set, device, win::SPDRP_FRIENDLYNAME);
  record.strDeviceDesc = GetPropertyString(m_set, device, win::SPDRP_DEVICEDESC);
  record.strPdoName = GetPropertyString(m_set, device, win::SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
  record.dwDevInst = device.DevInst;
}

int CDeviceEnumerator::EnumInterfaces(const win::GUID& interfaceGuid, std::vector<DeviceRecord>& records) {
  Release();
  m_set = win::SetupDiGetClassDevsW(&interfaceGuid, nullptr, nullptr, win::DIGCF_PRESENT | win::DIGCF_DEVICEINTERFACE);
  if (m_set == win::INVALID_HANDLE_VALUE) return 0;
  win::SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (win::DWORD index = 0; win::SetupDiEnumDeviceInterfaces(m_set, nullptr, &interfaceGuid, index, &data); ++index) {
    win::DWORD size = 0;
    win::SetupDiGetDeviceInterfaceDetailW(m_set, &data, nullptr, 0, &size, nullptr);
    if (size < sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<win::BYTE> storage(size);
    auto* detail = reinterpret_cast<win::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    win::SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!win::SetupDiGetDeviceInterfaceDetailW(m_set, &data, detail, size, nullptr, &device)) continue;
    DeviceRecord record;
    record.strSymbolicName = detail->DevicePath;
    FillProperties(device, record);
    records.push_back(record);
  }
  return static_cast<int>(records.size());
}

int CDeviceEnumerator::EnumDevices(const win::GUID& classGuid, std::vector<DeviceRecord>& records, bool presentOnly) {
  Release();
  m_set = win::SetupDiGetClassDevsW(&classGuid, nullptr, nullptr, presentOnly ? win::DIGCF_PRESENT : win::DIGCF_ALLCLASSES);
  if (m_set == win::INVALID_HANDLE_VALUE) return 0;
  win::SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (win::DWORD index = 0; win::SetupDiEnumDeviceInfo(m_set, index, &device); ++index) {
    DeviceRecord record;
    FillProperties(device, record);
    records.push_back(record);
  }
  return static_cast<int>(records.size());
}

bool IsCompositeCardPresent() {
  win::ScopedGeneric<win::DevInfoTraits> set(
      win::SetupDiGetClassDevsW(&GUID_DEVCLASS_USB, nullptr, nullptr, win::DIGCF_PRESENT));
  if (!set) return false;
  bool result = false;
  win::SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (win::DWORD index = 0; !result && win::SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) {
    wchar_t buffer[kTextUnits] = {};
    if (!win::SetupDiGetDeviceRegistryPropertyW(set.get(), &device, win::SPDRP_HARDWAREID, nullptr,
                                                reinterpret_cast<win::BYTE*>(buffer), sizeof buffer, nullptr)) {
      continue;
    }
    buffer[kTextUnits - 1] = L'\0';
    if (!IsCardHardwareID(UpperCase(buffer))) continue;

    std::fill(std::begin(buffer), std::end(buffer), L'\0');
    win::DWORD returned = 0;
    if (!win::SetupDiGetDeviceRegistryPropertyW(set.get(), &device, win::SPDRP_COMPATIBLEIDS, nullptr,
                                                reinterpret_cast<win::BYTE*>(buffer), sizeof buffer, &returned)) {
      continue;
    }
    // The list's strings joined by "|", reading no further than the data returned.
    const std::size_t units = std::min<std::size_t>(returned / sizeof(wchar_t), kTextUnits);
    std::wstring joined;
    for (std::size_t i = 0; i < units; ++i) {
      if (buffer[i] != L'\0') {
        joined += buffer[i];
      } else if (i + 1 < units && buffer[i + 1] != L'\0') {
        joined += L'|';
      } else {
        break;  // the list's terminating empty string
      }
    }
    joined = UpperCase(joined);
    WriteLog(L"Device Compatible ID : %s", joined.c_str());
    const bool composite = (joined.find(L"DEVCLASS") != std::wstring::npos && joined.find(L"SUBCLASS") != std::wstring::npos) ||
                           joined.find(L"USB\\COMPOSITE") != std::wstring::npos;
    if (composite) result = true;
  }
  return result;
}
