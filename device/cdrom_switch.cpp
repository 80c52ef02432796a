// Finding the card's CD-ROM drive and building its switch command.
#include "device/cdrom_switch.h"

#include <cstring>
#include <vector>

#include "device/card_ids.h"
#include "device/enumerator.h"
#include "env/console.h"
#include "env/log.h"
#include "env/os_version.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/scoped.h"
#include "platform/security.h"

namespace {

void Put16(PassThroughBlock& b, std::size_t at, win::WORD v) {
  b[at] = static_cast<win::BYTE>(v & 0xFF);
  b[at + 1] = static_cast<win::BYTE>(v >> 8);
}

void Put32(PassThroughBlock& b, std::size_t at, win::DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<win::BYTE>(v >> (8 * i));
}

}  // namespace

bool FindCardCdromInterface(std::wstring& path) {
  CDeviceEnumerator enumerator;
  std::vector<DeviceRecord> records;
  enumerator.EnumInterfaces(GUID_DEVINTERFACE_CDROM, records);
  bool found = false;
  int count = 0;
  for (const DeviceRecord& record : records) {
    ++count;
    const std::wstring upper = UpperCase(record.strInstanceID);
    WriteLog(L"%d.1 SymblicName:\t %s \r\n", count, record.strSymbolicName.c_str());
    WriteLog(L"%d.2 InstanceID:\t %s \r\n", count, record.strInstanceID.c_str());
    if (IsSupportedID(upper) && upper.find(L"_QXR&") != std::wstring::npos) {
      path = record.strSymbolicName;
      found = true;
      break;
    }
  }
  enumerator.Release();
  return found;
}

bool BuildSwitchCommand(win::BYTE* command, win::DWORD& length) {
  command[0] = 0x9F;
  switch (GetOsVersionCode()) {
    case 3: command[1] = 0x02; command[2] = 0x02; break;
    case 4: command[1] = 0x01; command[2] = 0x00; break;
    case 6:
    case 7: command[1] = 0x03; command[2] = 0x00; break;
    default: command[1] = 0x00; command[2] = 0x00; break;
  }
  length = 3;
  return true;
}

PassThroughBlock BuildPassThroughBlock(const win::BYTE* command, win::DWORD count) {
  PassThroughBlock b{};
  Put16(b, 0, 44);   // Length: the header
  b[2] = 0;          // ScsiStatus
  b[3] = 0;          // PathId
  b[4] = 1;          // TargetId
  b[5] = 0;          // Lun
  b[6] = 6;          // CdbLength
  b[7] = 32;         // SenseInfoLength
  b[8] = 1;          // DataIn: SCSI_IOCTL_DATA_IN
  Put32(b, 12, 192);  // DataTransferLength
  Put32(b, 16, 2);    // TimeOutValue, seconds
  Put32(b, 20, 80);   // DataBufferOffset
  Put32(b, 24, 48);   // SenseInfoOffset
  if (command && count > 0) std::memcpy(&b[28], command, count > 16 ? 16 : count);
  return b;
}

bool EnableDebugPrivilege() {
  win::HANDLE rawToken = nullptr;
  if (!win::OpenProcessToken(win::GetCurrentProcess(), win::TOKEN_ADJUST_PRIVILEGES, &rawToken)) return false;
  win::ScopedGeneric<win::KernelHandleTraits> token(rawToken);
  win::TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!win::LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    WriteConsoleNarrow("Can't   lookup   privilege   value.\n");
  }
  privileges.Privileges[0].Attributes = win::SE_PRIVILEGE_ENABLED;
  if (!win::AdjustTokenPrivileges(token.get(), win::FALSE, &privileges, sizeof privileges, nullptr, nullptr)) {
    WriteConsoleNarrow("Can't   adjust   privilege   value.\n");
  }
  return win::GetLastError() == win::ERROR_SUCCESS;
}

bool SendSwitchCommand(const std::wstring& path, const win::BYTE* command, win::DWORD count) {
  WriteLog(L"CreateFile: %s\n", path.c_str());
  EnableDebugPrivilege();
  win::ScopedGeneric<win::FileHandleTraits> drive(win::CreateFileW(
      path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
      win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!drive) {
    WriteLog(L"Error CreateFile: %s, Error Code: %d\n", path.c_str(), static_cast<int>(win::GetLastError()));
    return false;
  }
  PassThroughBlock block = BuildPassThroughBlock(command, count);
  win::DWORD returned = 0;
  win::DeviceIoControl(drive.get(), IOCTL_SCSI_PASS_THROUGH, block.data(), kPassThroughInputLength, block.data(),
                       kPassThroughOutputLength, &returned, nullptr);
  return true;
}
