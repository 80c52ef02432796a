// The driver configuration file and the per-generation driver tree.
#include "env/driver_config.h"

#include "env/os_version.h"
#include "env/paths.h"
#include "localization/ini_file.h"

namespace {

const wchar_t* DriverSection(int code) {
  switch (code) {
    case 4:
    case 5:
      return L"Driver_WinXP";
    case 6:
      return L"Driver_Vista";
    case 7:
      return L"Driver_Win7";
    default:
      return L"Driver_Win2k";
  }
}

const wchar_t* DriverSubdirectory(int code) {
  switch (code) {
    case 4:
    case 5:
      return Is64BitWindows() ? L"WinXP-AMD64\\" : L"WinXP\\";
    case 6:
      return Is64BitWindows() ? L"Vista\\AMD64\\" : L"Vista\\X86\\";
    case 7:
      return Is64BitWindows() ? L"Win7\\Win64\\" : L"Win7\\Win32\\";
    default:
      return L"Win2K\\";  // no separate directory for 64-bit Windows
  }
}

}  // namespace

std::wstring ReadDriverEntry(const std::wstring& key) {
  const CIniFile config(L"../config/driver.ini");
  return config.GetValue(DriverSection(GetOsVersionCode()), key);
}

std::wstring GetDriverDirectory() {
  const std::wstring tree = CollapseParentDirs(GetModuleDirectory() + L"..\\Driver\\");
  return tree + DriverSubdirectory(GetOsVersionCode());
}

std::wstring GetModemPackagePath() {
  const std::wstring entry = ReadDriverEntry(L"Modem");
  return GetDriverDirectory() + entry;
}

std::wstring GetPortPackagePath() {
  const std::wstring entry = ReadDriverEntry(L"Port");
  return GetDriverDirectory() + entry;
}
