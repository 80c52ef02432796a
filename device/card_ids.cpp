// The card's identifier tables. The three tables differ on purpose and are not to be merged.
#include "device/card_ids.h"

#include "env/log.h"
#include "platform/nls.h"

namespace {

const wchar_t* const kCardHardwareIds[] = {
    L"USB\\VID_05C6&PID_3197", L"USB\\VID_05C6&PID_6000", L"USB\\VID_3F7D&PID_FFFD", L"USB\\VID_3F7D&PID_FFFE",
    L"USB\\VID_3F7D&PID_FFFF", L"USB\\VID_3F7D&PID_FFFC", L"USB\\VID_3F7D&PID_FFFB", L"USB\\VID_3F7D&PID_FFFA",
    L"USB\\VID_3F7D&PID_FFF9", L"USB\\VID_3F7D&PID_FFF8", L"USB\\VID_3F7D&PID_FFF7", L"USB\\VID_3F7D&PID_FFF6",
    L"USB\\VID_3F7D&PID_FFF5", L"USB\\VID_3F7D&PID_FFF1",
};

const wchar_t* const kSupportedIds[] = {
    L"VID_3F7D&PID_FFFF", L"VID_3F7D&PID_FFFE", L"VID_3F7D&PID_FFFD", L"VID_3F7D&PID_FFF6",
    L"VID_3F7D&PID_FFF7", L"VID_3F7D&PID_FFF1", L"&VEN_QXR&",
};

const wchar_t kChipTag[] = L"QXRMTFFF4";
const wchar_t kUsbCdrom[] = L"USBSTOR\\CDROM";

}  // namespace

std::wstring UpperCase(const std::wstring& text) {
  std::wstring out = text;
  if (out.empty()) return out;
  const int n = win::LCMapStringW(win::LOCALE_USER_DEFAULT, win::LCMAP_UPPERCASE, text.data(),
                                  static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()));
  if (n != static_cast<int>(text.size())) {
    out = text;
    for (auto& c : out) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    }
  }
  return out;
}

bool IsCardHardwareID(const std::wstring& id) {
  for (const wchar_t* entry : kCardHardwareIds) {
    if (id.find(entry) != std::wstring::npos) return true;
  }
  return false;
}

bool IsSupportedID(const std::wstring& id) {
  const std::wstring upper = UpperCase(id);
  for (const wchar_t* entry : kSupportedIds) {
    if (upper.find(entry) != std::wstring::npos) {
      WriteLog(L"IsSupportedID Found OK :%s  %s", upper.c_str(), entry);
      return true;
    }
  }
  return false;
}

bool IsUsbChipID(const std::wstring& id) {
  const std::wstring upper = UpperCase(id);
  if (upper.find(kChipTag) == std::wstring::npos || upper.find(kUsbCdrom) == std::wstring::npos) return false;
  WriteLog(L"IsUsbChipID Found OK :%s  %s", upper.c_str(), kChipTag);
  return true;
}
