// The card's CD-ROM devices.
#include "device/card_cdrom.h"

#include "device/card_ids.h"
#include "device/device_state.h"
#include "device/enumerator.h"
#include "env/log.h"

bool CollectCardCdromIDs(vecInstanceID& ids, bool presentOnly) {
  ids.clear();
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> records;
  enumerator.EnumDevices(GUID_DEVCLASS_CDROM, records, presentOnly);
  bool found = false;
  for (const DeviceRecord& record : records) {
    if (IsUsbChipID(record.strInstanceID)) {
      ids.push_back(record.strInstanceID);
      found = true;
    }
  }
  enumerator.Release();
  return found;
}

bool SetCardCdromState(bool enable, bool presentOnly) {
  vecInstanceID ids;
  CollectCardCdromIDs(ids, presentOnly);
  for (const std::wstring& id : ids) SetDeviceState(id, enable);
  WriteLog(L"vecInstanceID.size()  =  %d", static_cast<int>(ids.size()));
  return !ids.empty();
}
