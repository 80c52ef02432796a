// Simulated machine: driver installation on devices, device removal and the installed INF copies.
#include "platform/sim/drivers.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/error.h"
#include "platform/newdev.h"
#include "platform/setupapi.h"
#include "platform/sim/fs.h"
#include "platform/sim/inf.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/unicode.h"
#include "platform/sim/windows.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr wchar_t kClassRoot[] = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr wchar_t kEnumRoot[] = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\";
constexpr char kPortsClass[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr char kModemClass[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";

// The host folder of a Windows directory, made (with its parents) when missing.
std::optional<fs::path> HostDirectory(Machine& m, const std::wstring& winDir) {
  WinPath wp;
  if (MakeFullPath(m, winDir, false, wp) != PathStatus::Ok) return std::nullopt;
  fs::path dir = m.DriveFolder(wp.drive);
  if (dir.empty()) return std::nullopt;
  for (const auto& part : wp.parts) {
    auto next = FindEntry(dir, part);
    std::error_code ec;
    if (!next) {
      next = dir / ToUtf8(part);
      fs::create_directory(*next, ec);
      if (ec) return std::nullopt;
    }
    dir = *next;
  }
  return dir;
}

// Copies the package's INF into the INF directory as oemN.inf, or finds the copy made before.
std::wstring InstallInfCopy(Machine& m, const std::string& bytes) {
  const auto infDir = HostDirectory(m, WindowsDirectory() + L"\\inf");
  if (!infDir) return {};
  for (int n = 0; n < 10000; ++n) {
    const std::wstring name = L"oem" + std::to_wstring(n) + L".inf";
    const auto existing = FindEntry(*infDir, name);
    if (existing) {
      if (ReadHostFile(*existing) == bytes) return name;
      continue;
    }
    std::ofstream out(*infDir / ToUtf8(name), std::ios::binary);
    out << bytes;
    return out ? name : std::wstring();
  }
  return {};
}

// The models section of `base` that this machine's Windows reads: on x64 the NTamd64 decoration;
// on 32-bit Windows XP and later NTx86 when the INF has it, else the undecorated section; Windows
// 2000 knows no decorations.
const InfSection* ModelsSection(const Machine& m, const InfFile& inf, const InfLine& manufacturer) {
  if (manufacturer.fields.empty()) return nullptr;
  const std::wstring& base = manufacturer.fields[0];
  const auto& os = m.Desc().os;
  const bool decorations = os.major > 5 || (os.major == 5 && os.minor >= 1);
  if (!decorations) return inf.Section(base);
  const std::wstring platform = m.Desc().os.architecture == Architecture::Amd64  ? L"ntamd64"
                                : m.Desc().os.architecture == Architecture::Ia64 ? L"ntia64"
                                                                                 : L"ntx86";
  for (std::size_t i = 1; i < manufacturer.fields.size(); ++i) {
    const std::wstring decoration = Downcase(manufacturer.fields[i]);
    if (decoration == platform || decoration.starts_with(platform + L".")) {
      if (const InfSection* s = inf.Section(base + L"." + manufacturer.fields[i])) return s;
    }
  }
  return platform == L"ntx86" ? inf.Section(base) : nullptr;
}

struct Model {
  std::wstring description;
  std::wstring installSection;
};

bool FindModel(const Machine& m, const InfFile& inf, const std::wstring& hardwareId, Model& out) {
  const InfSection* manufacturers = inf.Section(L"Manufacturer");
  if (!manufacturers) return false;
  for (const InfLine& mfg : manufacturers->lines) {
    const InfSection* models = ModelsSection(m, inf, mfg);
    if (!models) continue;
    for (const InfLine& line : models->lines) {
      for (std::size_t i = 1; i < line.fields.size(); ++i) {
        if (EqualNoCase(line.fields[i], hardwareId)) {
          out = {line.key, line.fields[0]};
          return true;
        }
      }
    }
  }
  return false;
}

bool IsSigned(const Machine& m, const InfFile& inf, const std::wstring& infPath) {
  std::wstring catalog = inf.Value(L"Version", L"CatalogFile");
  if (m.Desc().os.architecture == Architecture::Amd64) {
    const std::wstring decorated = inf.Value(L"Version", L"CatalogFile.NTamd64");
    if (!decorated.empty()) catalog = decorated;
  }
  if (catalog.empty()) return false;
  const auto sep = infPath.find_last_of(L"\\/");
  const std::wstring dir = sep == std::wstring::npos ? std::wstring() : infPath.substr(0, sep + 1);
  WinPath wp;
  if (MakeFullPath(m, dir + catalog, false, wp) != PathStatus::Ok) return false;
  return ResolveExisting(m, wp).has_value();
}

bool Matches(const DeviceDescription& d, const std::wstring& id) {
  for (const auto* list : {&d.hardwareIds, &d.compatibleIds}) {
    for (const auto& x : *list) {
      if (EqualNoCase(x, id)) return true;
    }
  }
  return false;
}

// The present devices that list `id` among their hardware or compatible IDs.
std::vector<std::size_t> PresentTargets(const Machine& m, const std::wstring& id) {
  std::vector<std::size_t> targets;
  for (std::size_t i = 0; i < m.Desc().devices.size(); ++i) {
    const DeviceDescription& d = m.Desc().devices[i];
    if (d.present && !d.removed && Matches(d, id)) targets.push_back(i);
  }
  return targets;
}

constexpr win::DWORD ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION = 1949;

// The lowest COM number the COM Name Arbiter's ComDB has free, now marked as taken.
int ClaimComNumber(Machine& m) {
  int n = 1;
  for (int taken : TakenComNumbers(m)) {
    if (taken != n) break;
    ++n;
  }
  TakeComNumber(m, n);
  return n;
}

std::wstring NextDriverKey(const Machine& m, const std::string& classGuid) {
  const std::wstring guid(classGuid.begin(), classGuid.end());
  const auto existing = m.Reg().Subkeys(kClassRoot + guid);
  for (int n = 0; n < 10000; ++n) {
    wchar_t name[8];
    std::swprintf(name, 8, L"%04d", n);
    bool used = false;
    for (const auto& e : existing) used |= EqualNoCase(e, name);
    if (!used) return guid + L"\\" + name;
  }
  return {};
}

void Bind(Machine& m, DeviceDescription& d, const InfFile& inf, const std::wstring& infCopy, const Model& model,
          const std::wstring& hardwareId) {
  const std::string classGuid = CanonicalGuid(ToUtf8(inf.Value(L"Version", L"ClassGuid")));
  const std::wstring className = inf.Value(L"Version", L"Class");
  if (!d.driver.empty() && !classGuid.empty() && !d.driver.starts_with(std::wstring(classGuid.begin(), classGuid.end()))) {
    m.Reg().RemoveTree(DriverKeyPath(d.driver));  // the old driver of another class goes
    d.driver.clear();
  }
  if (d.driver.empty()) d.driver = NextDriverKey(m, classGuid);
  d.classGuid = classGuid;
  d.className = className;

  const std::wstring drv = DriverKeyPath(d.driver);
  const std::wstring hw = EnumKeyPath(d.instanceId);
  m.Reg().RemoveTree(drv);
  m.Reg().SetString(drv, L"DriverDesc", model.description);
  m.Reg().SetString(drv, L"InfPath", infCopy);
  m.Reg().SetString(drv, L"InfSection", model.installSection);
  m.Reg().SetString(drv, L"MatchingDeviceId", Downcase(hardwareId));
  m.Reg().SetString(drv, L"ProviderName", inf.Value(L"Version", L"Provider"));
  const InfSection* version = inf.Section(L"Version");
  if (version) {
    for (const auto& l : version->lines) {
      if (l.hasKey && EqualNoCase(l.key, L"DriverVer")) {
        if (!l.fields.empty()) m.Reg().SetString(drv, L"DriverDate", l.fields[0]);
        if (l.fields.size() > 1) m.Reg().SetString(drv, L"DriverVersion", l.fields[1]);
      }
    }
  }
  m.Reg().SetString(hw, L"Class", className);
  m.Reg().SetString(hw, L"ClassGUID", std::wstring(classGuid.begin(), classGuid.end()));
  m.Reg().SetString(hw, L"Driver", d.driver);
  m.Reg().SetString(hw, L"DeviceDesc", model.description);
  m.Reg().Create(hw).values[L"hardwareid"] = RegValue{L"HardwareID", win::REG_MULTI_SZ, RegMultiTextBytes(d.hardwareIds)};

  std::wstring friendly = model.description;
  if (classGuid == kPortsClass || classGuid == kModemClass) {
    // Serial and modem functions get a COM name from the arbiter's database, as the ports and modem
    // class installers give them; a device keeps the name it had.
    const std::wstring params = hw + L"\\Device Parameters";
    std::wstring port = m.Reg().GetString(params, L"PortName");
    if (port.empty()) {
      const int n = ClaimComNumber(m);
      port = L"COM" + std::to_wstring(n);
      m.Reg().SetString(params, L"PortName", port);
      m.Observed().driverEvents.push_back(L"claimed " + port + L" for " + d.instanceId);
    }
    if (classGuid == kPortsClass) friendly += L" (" + port + L")";
    else m.Reg().SetString(drv, L"AttachedTo", port);
  }
  m.Reg().SetString(hw, L"FriendlyName", friendly);
  d.friendlyName = friendly;
  m.Observed().driverEvents.push_back(L"installed " + infCopy + L" on " + d.instanceId);
  m.SetDirty();
}

}  // namespace

std::vector<int> TakenComNumbers(const Machine& machine) {
  std::vector<int> taken;
  const RegValue* db = machine.Reg().GetValue(kComNameArbiterKey, L"ComDB");
  for (std::size_t i = 0; db && i < db->data.size() * 8; ++i) {
    if ((db->data[i / 8] >> (i % 8)) & 1) taken.push_back(static_cast<int>(i + 1));
  }
  return taken;
}

void TakeComNumber(Machine& machine, int n) {
  const RegValue* old = machine.Reg().GetValue(kComNameArbiterKey, L"ComDB");
  std::vector<win::BYTE> db = old ? old->data : std::vector<win::BYTE>();
  const std::size_t byte = static_cast<std::size_t>(n - 1) / 8;
  if (db.size() <= byte || db.size() < 32) db.resize((byte / 32 + 1) * 32, 0);
  db[byte] = static_cast<win::BYTE>(db[byte] | (1 << ((n - 1) % 8)));
  machine.Reg().SetBinary(kComNameArbiterKey, L"ComDB", db);
}

std::wstring WindowsDirectory() {
  const auto& os = Current().Desc().os;
  const bool winnt = os.platformId == 2 && (os.major < 5 || (os.major == 5 && os.minor == 0));
  return winnt ? L"C:\\WINNT" : L"C:\\WINDOWS";
}

std::wstring DriverKeyPath(const std::wstring& driver) { return kClassRoot + driver; }

std::wstring EnumKeyPath(const std::wstring& instanceId) { return kEnumRoot + instanceId; }

void RemoveDevice(std::size_t index) {
  Machine& m = Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  DeviceDescription& d = m.MutableDesc().devices[index];
  if (!d.driver.empty()) m.Reg().RemoveTree(DriverKeyPath(d.driver));
  m.Reg().RemoveTree(EnumKeyPath(d.instanceId));
  d.removed = true;
  d.driver.clear();
  m.Observed().driverEvents.push_back(L"removed " + d.instanceId);
  m.SetDirty();
}

win::BOOL WINCALL SimSetupUninstallOEMInfW(win::LPCWSTR infName, win::DWORD flags, void* reserved) {
  if (!infName || reserved || (flags & ~win::SUOI_FORCEDELETE)) return Fail(win::ERROR_INVALID_PARAMETER, win::FALSE);
  const std::wstring name = infName;
  if (name.find_first_of(L"\\/") != std::wstring::npos || !Downcase(name).starts_with(L"oem")) {
    return Fail(win::ERROR_FILE_NOT_FOUND, win::FALSE);
  }
  Machine& m = Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  if (!(flags & win::SUOI_FORCEDELETE)) {
    for (const auto& d : m.Desc().devices) {
      if (d.removed || d.driver.empty()) continue;
      if (EqualNoCase(m.Reg().GetString(DriverKeyPath(d.driver), L"InfPath"), name)) {
        return Fail(win::ERROR_INF_IN_USE_BY_DEVICES, win::FALSE);
      }
    }
  }
  const auto infDir = HostDirectory(m, WindowsDirectory() + L"\\inf");
  const auto file = infDir ? FindEntry(*infDir, name) : std::nullopt;
  if (!file) return Fail(win::ERROR_FILE_NOT_FOUND, win::FALSE);
  std::error_code ec;
  fs::remove(*file, ec);
  const std::wstring pnf = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0) + L".pnf";
  if (const auto p = FindEntry(*infDir, pnf)) fs::remove(*p, ec);
  m.Observed().driverEvents.push_back(L"uninstalled " + name);
  win::SetLastError(win::ERROR_SUCCESS);
  return win::TRUE;
}

}  // namespace sim

namespace win {

BOOL UpdateDriverForPlugAndPlayDevicesW(void*, LPCWSTR hardwareId, LPCWSTR fullInfPath, DWORD flags,
                                        BOOL* rebootRequired) {
  if (!hardwareId || !*hardwareId || !fullInfPath) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (flags & ~(INSTALLFLAG_FORCE | INSTALLFLAG_READONLY | INSTALLFLAG_NONINTERACTIVE)) {
    return sim::Fail(ERROR_INVALID_FLAGS, FALSE);
  }
  sim::Machine& m = sim::Current();
  sim::InfFile inf;
  sim::Model model;
  bool warn = false;
  {
    std::lock_guard<std::recursive_mutex> guard(m.Lock());
    m.UpdateCards();
    if (const DWORD e = sim::ReadInfFile(fullInfPath, inf, nullptr)) return sim::Fail(e, FALSE);
    if (sim::PresentTargets(m, hardwareId).empty()) return sim::Fail(ERROR_NO_SUCH_DEVINST, FALSE);
    if (!sim::FindModel(m, inf, hardwareId, model)) return sim::Fail(ERROR_NO_MORE_ITEMS, FALSE);
    const sim::SetupDescription& setup = m.Desc().setup;
    if (setup.updateError && (setup.updateErrorId.empty() || sim::EqualNoCase(setup.updateErrorId, hardwareId))) {
      m.Observed().driverEvents.push_back(L"refused " + std::wstring(hardwareId));
      return sim::Fail(setup.updateError, FALSE);
    }
    if (!sim::IsSigned(m, inf, fullInfPath)) {
      if (setup.signing == sim::SetupDescription::Signing::Block) {
        m.Observed().driverEvents.push_back(L"blocked unsigned " + std::wstring(fullInfPath));
        return sim::Fail(ERROR_NO_CATALOG_FOR_OEM_INF, FALSE);
      }
      warn = setup.signing == sim::SetupDescription::Signing::Warn;
    }
  }
  if (warn) {
    // The warning is a window the user must answer; a caller that allows no UI fails instead.
    if (flags & INSTALLFLAG_NONINTERACTIVE) return sim::Fail(sim::ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION, FALSE);
    // The installing thread waits for the answer while the rest of the machine goes on.
    if (!sim::RaiseSignatureWarning(fullInfPath)) {
      std::lock_guard<std::recursive_mutex> guard(m.Lock());
      m.Observed().driverEvents.push_back(L"cancelled unsigned " + std::wstring(fullInfPath));
      return sim::Fail(ERROR_CANCELLED, FALSE);
    }
  }
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  m.UpdateCards();
  const std::vector<std::size_t> targets = sim::PresentTargets(m, hardwareId);  // the device may have left meanwhile
  if (targets.empty()) return sim::Fail(ERROR_NO_SUCH_DEVINST, FALSE);
  sim::WinPath wp;
  sim::MakeFullPath(m, fullInfPath, false, wp);
  const auto host = sim::ResolveExisting(m, wp);
  const auto bytes = host ? sim::ReadHostFile(*host) : std::nullopt;
  const std::wstring copy = bytes ? sim::InstallInfCopy(m, *bytes) : std::wstring();
  if (copy.empty()) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  for (std::size_t i : targets) sim::Bind(m, m.MutableDesc().devices[i], inf, copy, model, hardwareId);
  if (rebootRequired) *rebootRequired = m.Desc().setup.updateRestart ? TRUE : FALSE;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace win
