// The simulated Windows machine: its description file, its state, and the machine the process runs on.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/registry_store.h"
#include "platform/types.h"

namespace sim {

inline constexpr int kDescriptionFormat = 1;
inline constexpr const char* kDescriptionFileName = "machine.txt";

/// A fault in a machine description: the file, the line (0: the file as a whole) and what is wrong.
class MachineError : public std::runtime_error {
 public:
  MachineError(std::string file, int line, const std::string& fault);
  const std::string& File() const { return m_file; }
  int Line() const { return m_line; }
  const std::string& Fault() const { return m_fault; }

 private:
  std::string m_file;
  int m_line;
  std::string m_fault;
};

enum class Architecture { X86, Amd64, Ia64 };

struct OsDescription {
  win::DWORD major = 6;
  win::DWORD minor = 1;
  win::DWORD build = 7601;
  win::DWORD platformId = 2;
  std::wstring servicePack;
  Architecture architecture = Architecture::Amd64;
  bool nativeSystemInfo = true;  // kernel32 exports GetNativeSystemInfo (not on Windows 2000)
};

struct LocaleDescription {
  win::WORD uiLanguage = 0x0409;
  win::UINT ansiCodePage = 1252;
  win::UINT oemCodePage = 437;
};

struct ScreenDescription {
  int dpi = 96;                      // GetDeviceCaps LOGPIXELSX / LOGPIXELSY of the screen
  std::wstring fontFace = L"System";  // the font selected into a new screen device context
  win::LONG fontHeight = 16;
  win::LONG fontWeight = 700;
  win::BYTE fontCharSet = 0;
};

struct ProcessDescription {
  std::wstring image;             // what GetModuleFileNameW(NULL) answers
  std::wstring currentDirectory;  // empty: the image's directory
  win::DWORD tlsSlots = 1088;     // thread-local storage slots TlsAlloc can hand out
  bool debugPrivilege = true;     // the user's token holds SeDebugPrivilege (administrators do)
};

struct ClockDescription {
  bool virtualTime = true;   // Sleep advances the tick count at once; otherwise real time passes
  win::DWORD tick = 1000000;  // tick count when a program starts on the machine
};

struct InterfaceDescription {
  std::string classGuid;     // "{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}", upper case
  std::wstring symbolicLink;  // the device path a file can be opened on
};

/// One device node of the machine's device tree.
struct DeviceDescription {
  std::wstring instanceId;
  std::string classGuid;  // setup class, upper case with braces; empty: none
  std::wstring className;
  std::vector<std::wstring> hardwareIds;
  std::vector<std::wstring> compatibleIds;
  std::wstring friendlyName;  // empty: the device has none
  std::wstring description;
  std::wstring pdoName;
  bool present = true;
  win::DWORD problem = 0;  // CM_PROB_*; 0: none (a disabled device reports CM_PROB_DISABLED)
  bool disabledGlobal = false;  // disabled for all hardware profiles
  bool disabledConfig = false;  // disabled in the current hardware profile
  bool stateChangeFails = false;  // the class installer refuses to enable or disable it
  bool openDenied = false;        // opening its interfaces fails with access denied
  bool detailFails = false;       // its interfaces' details cannot be read (as when it leaves while listed)
  bool removed = false;           // removed from the device tree (DIF_REMOVE); no set lists it
  std::wstring driver;            // "{class GUID}\0003": its driver key, once a driver is installed
  int card = 0;                   // a card's device (card number from 1): made by the card, not saved
  std::vector<InterfaceDescription> interfaces;
};

/// A data card and how it behaves (see docs/simulated-machine.md, "Cards").
struct CardDescription {
  win::WORD vendor = 0x3F7D;
  win::WORD product = 0xFFF1;
  std::uint64_t pluggedAt = 0;           // ms after the program starts
  bool startsComposite = false;          // plugged in already switched
  win::DWORD switchDelay = 1500;         // ms from the accepted command to the composite form
  win::DWORD interfaceDelay = 300;       // ms between interfaces appearing
  std::vector<int> interfaces = {0, 1, 2};  // MI numbers of its interfaces; empty: they never appear
  int commandsNeeded = 1;                // accepted commands before it switches
  std::vector<std::string> accepts;      // accepted command bytes as hex ("9F0100"); empty: any 9F command
  bool ignoresCommand = false;           // never switches
  bool cdromStays = false;               // the CD-ROM device stays visible beside the composite device
  std::uint64_t unplugAt = 0;            // ms after the program starts; 0: stays plugged in
};

/// How driver installations behave (see docs/simulated-machine.md, "Driver packages").
struct SetupDescription {
  enum class Signing { Ignore, Warn, Block } signing = Signing::Ignore;  // policy for unsigned packages
  win::DWORD updateError = 0;       // UpdateDriverForPlugAndPlayDevicesW fails with this code; 0: it works
  std::wstring updateErrorId;       // only for this hardware ID; empty: for every ID
  bool updateRestart = false;       // an installation asks for a restart
};

struct Description {
  std::string name;
  OsDescription os;
  LocaleDescription locale;
  ScreenDescription screen;
  ProcessDescription process;
  ClockDescription clock;
  std::map<wchar_t, std::string> drives;  // upper-case drive letter -> folder, relative to the machine folder
  std::vector<DeviceDescription> devices;  // in the order the system lists them
  std::vector<CardDescription> cards;
  SetupDescription setup;
};

/// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, or empty when `text` is no GUID.
std::string CanonicalGuid(const std::string& text);

/// Parses a description text; `fileName` only names the file in errors. Throws MachineError.
Description ParseDescription(std::string_view text, const std::string& fileName);

/// The description as text, in the form ParseDescription reads.
std::string FormatDescription(const Description& description);

/// The architecture's name in descriptions: "x86", "amd64", "ia64".
const char* ArchitectureName(Architecture architecture);

/// A named machine template (see docs/simulated-machine.md).
struct Template {
  std::string name;
  std::string summary;
  Description description;
};

const std::vector<Template>& Templates();
const Template* FindTemplate(std::string_view name);

/// The default machine's template: Windows 7 x64 with a card plugged in in its CD-ROM form (the
/// product is copied in when the machine is made).
const Template& DefaultTemplate();

/// Observations of what programs did on the machine, for tests and for `winsim show`.
struct Record {
  std::map<std::wstring, int> libraryLoads;  // lower-case file name -> successful LoadLibraryW calls
  std::map<std::wstring, int> libraryFrees;  // lower-case file name -> successful FreeLibrary calls
  std::vector<std::wstring> debugOutput;     // every OutputDebugStringW text
  std::vector<std::wstring> propertyChanges; // "enable global <instance ID>", "disable config <instance ID>"
  struct IoRequest {
    std::wstring path;  // the device path the handle was opened on
    win::DWORD code, inSize, outSize;
    std::vector<win::BYTE> bytes;  // the first max(inSize, outSize) bytes of the input buffer
  };
  std::vector<IoRequest> ioRequests;
  std::vector<std::string> cardEvents;  // "card 1 plugged in", "card 1 command 9F0100 accepted", ...
  std::vector<std::wstring> driverEvents;  // "installed <INF> on <instance ID>", "removed <instance ID>", ...
  std::vector<std::wstring> windowEvents;  // "shown Found New Hardware Wizard: <instance ID>", "closed ...", ...
};

struct Desktop;  // the machine's windows (platform/sim/windows.cpp)

class Machine {
 public:
  /// Opens a machine folder (reads its description). Throws MachineError.
  static std::unique_ptr<Machine> Open(const std::filesystem::path& folder);

  /// Creates a machine folder from a description: writes the description file and makes the drive
  /// folders. The folder may exist but must not hold a description already. Throws MachineError.
  static std::unique_ptr<Machine> Create(const std::filesystem::path& folder, const Description& description);

  const std::filesystem::path& Folder() const { return m_folder; }
  const Description& Desc() const { return m_description; }
  Description& MutableDesc() { return m_description; }

  /// The host folder of a drive letter, or empty when the machine has no such drive.
  std::filesystem::path DriveFolder(wchar_t letter) const;

  /// The tick count now. Virtual time moves only through Advance.
  win::DWORD TickCount() const;
  void Advance(win::DWORD milliseconds);

  /// Milliseconds since the program started on the machine (virtual or real, as the clock runs).
  std::uint64_t Elapsed() const;

  /// Brings the cards' devices up to date with the clock: plugging, switching, interfaces, unplugging.
  void UpdateCards();

  /// A control request reached device `deviceIndex`; a card whose CD-ROM drive it is checks it.
  void CardRequest(std::size_t deviceIndex, win::DWORD code, const win::BYTE* block, win::DWORD inSize, win::DWORD outSize);

  Record& Observed() { return m_record; }

  /// The machine's registry (kept in registry.reg in the machine folder).
  Registry& Reg() { return m_registry; }
  const Registry& Reg() const { return m_registry; }

  /// Writes the description back to the folder.
  void Save() const;

  /// Marks the machine as changed, so that it is saved when the process ends.
  void SetDirty() { m_dirty = true; }
  bool Dirty() const { return m_dirty; }

  /// Serialises access to the machine's state from the program's threads.
  std::recursive_mutex& Lock() const { return m_lock; }

  /// The machine's windows, made on first use by platform/sim/windows.cpp; under Lock().
  std::shared_ptr<Desktop>& DesktopSlot() { return m_desktop; }

 private:
  Machine(std::filesystem::path folder, Description description);

  std::filesystem::path m_folder;
  Description m_description;
  Record m_record;
  Registry m_registry;
  struct CardState {
    enum Phase { Unplugged, Cdrom, Switching, Composite, Gone } phase = Unplugged;
    std::uint64_t switchAt = 0;
    std::uint64_t compositeAt = 0;
    int accepted = 0;
    std::size_t firstDevice = 0;  // mass storage, CD-ROM, composite, then the interfaces
  };
  void MakeCardDevices();
  void ApplyInstalledDrivers();

  std::vector<CardState> m_cards;
  std::uint64_t m_elapsed = 0;
  win::DWORD m_virtualTick;
  std::int64_t m_realStartMs;
  bool m_dirty = false;
  std::shared_ptr<Desktop> m_desktop;
  mutable std::recursive_mutex m_lock;
};

/// The environment variable that names the machine folder a program runs on.
inline constexpr const char* kMachineVariable = "DRVSETUP_MACHINE";

/// The machine the process runs on. On first use: the folder named by DRVSETUP_MACHINE, or the
/// default machine (created when missing). A faulty description ends the process with exit code 3
/// and one message on standard error that names the file and the fault.
Machine& Current();

/// Makes `machine` the one the process runs on (tests, tools). Returns the previous one, if any.
std::unique_ptr<Machine> Install(std::unique_ptr<Machine> machine);

/// Where the default machine lives: $DRVSETUP_SIM_HOME/default-machine, or
/// $XDG_CACHE_HOME/drvsetup/default-machine, or ~/.cache/drvsetup/default-machine.
std::filesystem::path DefaultMachineFolder();

/// The product folder copied into new default machines (Bin, config, Localize, Driver).
std::filesystem::path ProductFolder();

/// Creates the default machine afresh (deleting an existing one) and returns its folder.
std::filesystem::path ResetDefaultMachine();

/// Creates a machine folder from a template and copies the product folder (when it exists) into the
/// directory of the template's program path. Throws MachineError.
std::unique_ptr<Machine> CreateFromTemplate(const std::filesystem::path& folder, const Template& tmpl,
                                            bool withProduct);

}  // namespace sim
