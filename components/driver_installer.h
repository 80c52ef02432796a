// The driver-installer library (DevSetupEngine), as the program calls it. Linked at start.
#pragma once

#include "platform/types.h"

/// One driver package's installer. Slots 0 and 1 are never called.
class IDriverInstaller {
 public:
  virtual void Reserved0() = 0;
  virtual void Reserved1() = 0;
  /// Removes the package's drivers (and its devices), present or not. The result is not read.
  virtual bool Uninstall() = 0;
  /// Flag 0: true while a present device has exactly `hardwareId`. Flag 1 (empty ID): true while any
  /// present device is one the package serves.
  virtual bool IsDevicePresent(int flag, const wchar_t* hardwareId) = 0;
  /// Binds the package's driver to the present devices of `hardwareId`; `*reboot` set when Windows
  /// asks for a restart. On false the thread's last error says why.
  virtual bool UpdateDriver(const wchar_t* hardwareId, bool* reboot) = 0;

 protected:
  ~IDriverInstaller() = default;  // released through ReleaseInstaller only
};

extern "C" {
/// A new installer for the package at `packagePath`, or null.
IDriverInstaller* CreateInstaller(const wchar_t* packagePath);
/// Ends an installer; accepts null.
void ReleaseInstaller(IDriverInstaller* installer);
}

/// Owns one installer and releases it through ReleaseInstaller when it ends, null included.
class DriverInstallerHolder {
 public:
  explicit DriverInstallerHolder(IDriverInstaller* installer) : m_installer(installer) {}
  DriverInstallerHolder(const DriverInstallerHolder&) = delete;
  DriverInstallerHolder& operator=(const DriverInstallerHolder&) = delete;
  ~DriverInstallerHolder() { ReleaseInstaller(m_installer); }

  IDriverInstaller* Get() const { return m_installer; }
  explicit operator bool() const { return m_installer != nullptr; }
  IDriverInstaller* operator->() const { return m_installer; }

 private:
  IDriverInstaller* m_installer;
};
