// The simulated machine: description parsing and formatting, machine state, the current machine.
#include "platform/sim/machine.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "platform/sim/fs.h"
#include "platform/sim/unicode.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

std::string Trim(std::string_view s) {
  const char* ws = " \t\r\n";
  const auto b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(ws);
  return std::string(s.substr(b, e - b + 1));
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
  return s;
}

// One `key = value` line with where it stands.
struct Entry {
  std::string value;
  int line;
};

class Reader {
 public:
  Reader(const std::string& file) : m_file(file) {}

  [[noreturn]] void Fail(int line, const std::string& fault) const { throw MachineError(m_file, line, fault); }

  unsigned long long Number(const std::string& key, const Entry& e, unsigned long long max, int base = 0) const {
    const std::string& v = e.value;
    if (v.empty()) Fail(e.line, "'" + key + "' needs a number");
    std::size_t pos = 0;
    unsigned long long n = 0;
    try {
      if (v[0] == '-' || v[0] == '+') throw std::invalid_argument("sign");
      n = std::stoull(v, &pos, base);
    } catch (const std::exception&) {
      Fail(e.line, "'" + key + "' is not a number: \"" + v + "\"");
    }
    if (pos != v.size()) Fail(e.line, "'" + key + "' is not a number: \"" + v + "\"");
    if (n > max) Fail(e.line, "'" + key + "' is out of range (at most " + std::to_string(max) + "): " + v);
    return n;
  }

  bool Boolean(const std::string& key, const Entry& e) const {
    const std::string v = Lower(e.value);
    if (v == "yes" || v == "true") return true;
    if (v == "no" || v == "false") return false;
    Fail(e.line, "'" + key + "' must be yes or no, not \"" + e.value + "\"");
  }

  const std::string& File() const { return m_file; }

 private:
  std::string m_file;
};

using Section = std::map<std::string, Entry>;

// A section kind: the keys it knows, and how its entries fill the description.
struct SectionKind {
  std::set<std::string> keys;
  std::set<std::string> required;
  std::function<void(const Reader&, const std::string& arg, const Section&, int headerLine, Description&)> apply;
  bool takesArgument = false;
};

const Entry* Find(const Section& s, const std::string& key) {
  auto it = s.find(key);
  return it == s.end() ? nullptr : &it->second;
}

bool IsAbsoluteWindowsPath(const std::wstring& p) {
  return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) && p[1] == L':' &&
         p[2] == L'\\';
}

const std::map<std::string, SectionKind>& SectionKinds() {
  static const std::map<std::string, SectionKind> kinds = [] {
    std::map<std::string, SectionKind> k;
    k["machine"] = {{"format", "name"}, {"format"}, [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                      const Entry& f = s.at("format");
                      const auto v = r.Number("format", f, 1000000);
                      if (v != static_cast<unsigned long long>(kDescriptionFormat))
                        r.Fail(f.line, "format " + f.value + " is not supported (this build reads format " +
                                           std::to_string(kDescriptionFormat) + ")");
                      if (auto e = Find(s, "name")) d.name = e->value;
                    }};
    k["os"] = {{"major", "minor", "build", "platform_id", "service_pack", "architecture", "native_system_info"},
               {"major", "minor", "platform_id", "architecture"},
               [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                 d.os.major = static_cast<win::DWORD>(r.Number("major", s.at("major"), 0xFFFFFFFF));
                 d.os.minor = static_cast<win::DWORD>(r.Number("minor", s.at("minor"), 0xFFFFFFFF));
                 d.os.platformId = static_cast<win::DWORD>(r.Number("platform_id", s.at("platform_id"), 0xFFFFFFFF));
                 d.os.build = 0;
                 if (auto e = Find(s, "build")) d.os.build = static_cast<win::DWORD>(r.Number("build", *e, 0xFFFFFFFF));
                 d.os.servicePack.clear();
                 if (auto e = Find(s, "service_pack")) {
                   d.os.servicePack = FromUtf8(e->value);
                   if (d.os.servicePack.size() > 127) r.Fail(e->line, "'service_pack' is longer than 127 characters");
                 }
                 const Entry& a = s.at("architecture");
                 const std::string arch = Lower(a.value);
                 if (arch == "x86") d.os.architecture = Architecture::X86;
                 else if (arch == "amd64") d.os.architecture = Architecture::Amd64;
                 else if (arch == "ia64") d.os.architecture = Architecture::Ia64;
                 else r.Fail(a.line, "'architecture' must be x86, amd64 or ia64, not \"" + a.value + "\"");
                 d.os.nativeSystemInfo = true;
                 if (auto e = Find(s, "native_system_info")) d.os.nativeSystemInfo = r.Boolean("native_system_info", *e);
               }};
    k["locale"] = {{"ui_language", "ansi_code_page", "oem_code_page"}, {},
                   [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                     if (auto e = Find(s, "ui_language"))
                       d.locale.uiLanguage = static_cast<win::WORD>(r.Number("ui_language", *e, 0xFFFF, 16));
                     if (auto e = Find(s, "ansi_code_page"))
                       d.locale.ansiCodePage = static_cast<win::UINT>(r.Number("ansi_code_page", *e, 65535, 10));
                     if (auto e = Find(s, "oem_code_page"))
                       d.locale.oemCodePage = static_cast<win::UINT>(r.Number("oem_code_page", *e, 65535, 10));
                   }};
    k["screen"] = {{"dpi", "font_face", "font_height", "font_weight", "font_charset"}, {},
                   [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                     if (auto e = Find(s, "dpi")) {
                       d.screen.dpi = static_cast<int>(r.Number("dpi", *e, 4800, 10));
                       if (d.screen.dpi == 0) r.Fail(e->line, "'dpi' must be at least 1");
                     }
                     if (auto e = Find(s, "font_face")) {
                       d.screen.fontFace = FromUtf8(e->value);
                       if (d.screen.fontFace.size() > 31) r.Fail(e->line, "'font_face' is longer than 31 characters");
                     }
                     if (auto e = Find(s, "font_height"))
                       d.screen.fontHeight = static_cast<win::LONG>(r.Number("font_height", *e, 1000, 10));
                     if (auto e = Find(s, "font_weight"))
                       d.screen.fontWeight = static_cast<win::LONG>(r.Number("font_weight", *e, 1000, 10));
                     if (auto e = Find(s, "font_charset"))
                       d.screen.fontCharSet = static_cast<win::BYTE>(r.Number("font_charset", *e, 255, 10));
                   }};
    k["process"] = {{"image", "current_directory", "tls_slots", "debug_privilege"}, {"image"},
                    [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                      const Entry& img = s.at("image");
                      d.process.image = FromUtf8(img.value);
                      if (!IsAbsoluteWindowsPath(d.process.image))
                        r.Fail(img.line, "'image' must be a full Windows path such as C:\\Dir\\Program.exe");
                      d.process.currentDirectory.clear();
                      if (auto e = Find(s, "current_directory")) {
                        d.process.currentDirectory = FromUtf8(e->value);
                        if (!IsAbsoluteWindowsPath(d.process.currentDirectory))
                          r.Fail(e->line, "'current_directory' must be a full Windows path such as C:\\Dir");
                      }
                      d.process.tlsSlots = 1088;
                      if (auto e = Find(s, "tls_slots"))
                        d.process.tlsSlots = static_cast<win::DWORD>(r.Number("tls_slots", *e, 1088, 10));
                      d.process.debugPrivilege = true;
                      if (auto e = Find(s, "debug_privilege")) d.process.debugPrivilege = r.Boolean("debug_privilege", *e);
                    }};
    k["clock"] = {{"mode", "tick"}, {},
                  [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                    if (auto e = Find(s, "mode")) {
                      const std::string m = Lower(e->value);
                      if (m == "virtual") d.clock.virtualTime = true;
                      else if (m == "real") d.clock.virtualTime = false;
                      else r.Fail(e->line, "'mode' must be virtual or real, not \"" + e->value + "\"");
                    }
                    if (auto e = Find(s, "tick")) d.clock.tick = static_cast<win::DWORD>(r.Number("tick", *e, 0xFFFFFFFF));
                  }};
    SectionKind drive{{"folder"}, {"folder"},
                      [](const Reader& r, const std::string& arg, const Section& s, int header, Description& d) {
                        if (arg.size() != 1 || !std::isalpha(static_cast<unsigned char>(arg[0])))
                          r.Fail(header, "a drive section is written [drive C]");
                        const wchar_t letter = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(arg[0])));
                        const Entry& f = s.at("folder");
                        if (f.value.empty() || fs::path(f.value).is_absolute() || f.value.find("..") != std::string::npos)
                          r.Fail(f.line, "'folder' must name a folder inside the machine folder");
                        if (d.drives.count(letter)) r.Fail(header, "drive " + std::string(1, static_cast<char>(letter)) + " is described twice");
                        d.drives[letter] = f.value;
                      },
                      true};
    k["drive"] = drive;
    SectionKind device{{"instance_id", "class_guid", "class", "hardware_ids", "compatible_ids", "friendly_name",
                        "description", "pdo_name", "present", "problem", "disabled", "state_change", "open", "interface_detail", "interface", "interface2", "interface3",
                        "interface4", "interface5"},
                       {"instance_id"},
                       [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                         DeviceDescription dev;
                         dev.instanceId = FromUtf8(s.at("instance_id").value);
                         for (const auto& other : d.devices) {
                           if (EqualNoCase(other.instanceId, dev.instanceId))
                             r.Fail(s.at("instance_id").line, "device " + s.at("instance_id").value + " is described twice");
                         }
                         if (auto e = Find(s, "class_guid")) {
                           dev.classGuid = CanonicalGuid(e->value);
                           if (dev.classGuid.empty()) r.Fail(e->line, "'class_guid' is no GUID: " + e->value);
                         }
                         auto text = [&](const char* key, std::wstring& out) {
                           if (auto e = Find(s, key)) out = FromUtf8(e->value);
                         };
                         text("class", dev.className);
                         text("friendly_name", dev.friendlyName);
                         text("description", dev.description);
                         text("pdo_name", dev.pdoName);
                         auto list = [&](const char* key, std::vector<std::wstring>& out) {
                           if (auto e = Find(s, key)) {
                             std::string rest = e->value;
                             std::size_t start = 0;
                             while (start <= rest.size()) {
                               auto bar = rest.find('|', start);
                               if (bar == std::string::npos) bar = rest.size();
                               const std::string item = Trim(std::string_view(rest).substr(start, bar - start));
                               if (!item.empty()) out.push_back(FromUtf8(item));
                               start = bar + 1;
                             }
                           }
                         };
                         list("hardware_ids", dev.hardwareIds);
                         list("compatible_ids", dev.compatibleIds);
                         if (auto e = Find(s, "present")) dev.present = r.Boolean("present", *e);
                         if (auto e = Find(s, "problem")) dev.problem = static_cast<win::DWORD>(r.Number("problem", *e, 0xFFFF));
                         if (auto e = Find(s, "disabled")) {
                           const std::string v = Lower(e->value);
                           if (v == "global" || v == "both") dev.disabledGlobal = true;
                           if (v == "config" || v == "both") dev.disabledConfig = true;
                           if (v != "none" && v != "global" && v != "config" && v != "both")
                             r.Fail(e->line, "'disabled' must be none, global, config or both");
                         }
                         if (auto e = Find(s, "state_change")) {
                           const std::string v = Lower(e->value);
                           if (v != "works" && v != "fails") r.Fail(e->line, "'state_change' must be works or fails");
                           dev.stateChangeFails = v == "fails";
                         }
                         if (auto e = Find(s, "open")) {
                           const std::string v = Lower(e->value);
                           if (v != "allowed" && v != "denied") r.Fail(e->line, "'open' must be allowed or denied");
                           dev.openDenied = v == "denied";
                         }
                         if (auto e = Find(s, "interface_detail")) {
                           const std::string v = Lower(e->value);
                           if (v != "readable" && v != "fails") r.Fail(e->line, "'interface_detail' must be readable or fails");
                           dev.detailFails = v == "fails";
                         }
                         for (const char* key : {"interface", "interface2", "interface3", "interface4", "interface5"}) {
                           auto e = Find(s, key);
                           if (!e) continue;
                           const auto sp = e->value.find(' ');
                           InterfaceDescription i;
                           i.classGuid = CanonicalGuid(e->value.substr(0, sp));
                           if (i.classGuid.empty() || sp == std::string::npos)
                             r.Fail(e->line, std::string("'") + key + "' is written {class GUID} device-path");
                           i.symbolicLink = FromUtf8(Trim(std::string_view(e->value).substr(sp)));
                           dev.interfaces.push_back(i);
                         }
                         d.devices.push_back(std::move(dev));
                       },
                       true};
    k["device"] = device;
    SectionKind card{{"model", "vendor", "plugged_at", "form", "switch_delay", "interface_delay", "interfaces",
                      "commands_needed", "accepts", "ignores_command", "cdrom_stays", "unplug_at"},
                     {"model"},
                     [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                       CardDescription c;
                       c.product = static_cast<win::WORD>(r.Number("model", s.at("model"), 0xFFFF, 16));
                       if (auto e = Find(s, "vendor")) c.vendor = static_cast<win::WORD>(r.Number("vendor", *e, 0xFFFF, 16));
                       if (auto e = Find(s, "plugged_at")) c.pluggedAt = r.Number("plugged_at", *e, 0xFFFFFFFFFFull, 10);
                       if (auto e = Find(s, "unplug_at")) c.unplugAt = r.Number("unplug_at", *e, 0xFFFFFFFFFFull, 10);
                       if (auto e = Find(s, "form")) {
                         const std::string v = Lower(e->value);
                         if (v != "cdrom" && v != "composite") r.Fail(e->line, "'form' must be cdrom or composite");
                         c.startsComposite = v == "composite";
                       }
                       if (auto e = Find(s, "switch_delay")) c.switchDelay = static_cast<win::DWORD>(r.Number("switch_delay", *e, 0xFFFFFFFF, 10));
                       if (auto e = Find(s, "interface_delay"))
                         c.interfaceDelay = static_cast<win::DWORD>(r.Number("interface_delay", *e, 0xFFFFFFFF, 10));
                       if (auto e = Find(s, "commands_needed"))
                         c.commandsNeeded = static_cast<int>(r.Number("commands_needed", *e, 1000, 10));
                       if (auto e = Find(s, "ignores_command")) c.ignoresCommand = r.Boolean("ignores_command", *e);
                       if (auto e = Find(s, "cdrom_stays")) c.cdromStays = r.Boolean("cdrom_stays", *e);
                       if (auto e = Find(s, "interfaces")) {
                         c.interfaces.clear();
                         std::istringstream in(e->value);
                         std::string item;
                         while (in >> item) {
                           if (Lower(item) == "none") continue;
                           Entry one{item, e->line};
                           c.interfaces.push_back(static_cast<int>(r.Number("interfaces", one, 15, 10)));
                         }
                       }
                       if (auto e = Find(s, "accepts")) {
                         std::istringstream in(e->value);
                         std::string item;
                         while (in >> item) {
                           std::string up;
                           for (char ch : item) up += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                           if (up.size() != 6 || up.find_first_not_of("0123456789ABCDEF") != std::string::npos)
                             r.Fail(e->line, "'accepts' lists command bytes such as 9F0100");
                           c.accepts.push_back(up);
                         }
                       }
                       d.cards.push_back(c);
                     },
                     true};
    k["card"] = card;
    k["setup"] = {{"driver_signing", "update_error", "update_error_id", "update_restart"}, {},
                  [](const Reader& r, const std::string&, const Section& s, int, Description& d) {
                    if (auto e = Find(s, "driver_signing")) {
                      const std::string v = Lower(e->value);
                      if (v == "ignore") d.setup.signing = SetupDescription::Signing::Ignore;
                      else if (v == "warn") d.setup.signing = SetupDescription::Signing::Warn;
                      else if (v == "block") d.setup.signing = SetupDescription::Signing::Block;
                      else r.Fail(e->line, "'driver_signing' must be ignore, warn or block");
                    }
                    if (auto e = Find(s, "update_error")) {
                      const bool hex = e->value.size() > 2 && e->value[0] == '0' && (e->value[1] == 'x' || e->value[1] == 'X');
                      Entry digits{hex ? e->value.substr(2) : e->value, e->line};
                      d.setup.updateError = static_cast<win::DWORD>(r.Number("update_error", digits, 0xFFFFFFFF, hex ? 16 : 10));
                    }
                    if (auto e = Find(s, "update_error_id")) d.setup.updateErrorId = FromUtf8(e->value);
                    if (auto e = Find(s, "update_restart")) d.setup.updateRestart = r.Boolean("update_restart", *e);
                  }};
    return k;
  }();
  return kinds;
}

}  // namespace

std::string CanonicalGuid(const std::string& text) {
  std::string g = text;
  if (g.size() == 36) g = "{" + g + "}";
  if (g.size() != 38 || g.front() != '{' || g.back() != '}') return {};
  for (std::size_t i = 1; i < 37; ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? g[i] != '-' : !std::isxdigit(static_cast<unsigned char>(g[i]))) return {};
    g[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(g[i])));
  }
  return g;
}

MachineError::MachineError(std::string file, int line, const std::string& fault)
    : std::runtime_error(file + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " + fault),
      m_file(std::move(file)),
      m_line(line),
      m_fault(fault) {}

const char* ArchitectureName(Architecture architecture) {
  switch (architecture) {
    case Architecture::X86: return "x86";
    case Architecture::Amd64: return "amd64";
    case Architecture::Ia64: return "ia64";
  }
  return "x86";
}

Description ParseDescription(std::string_view text, const std::string& fileName) {
  const Reader reader(fileName);
  struct Block {
    std::string kind;
    std::string arg;
    int line;
    Section entries;
  };
  std::vector<Block> blocks;
  std::set<std::string> seen;

  int lineNo = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const auto nl = text.find('\n', pos);
    const std::string_view raw = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    pos = (nl == std::string_view::npos) ? text.size() + 1 : nl + 1;
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (line.find('\0') != std::string::npos) reader.Fail(lineNo, "the line holds a zero byte");
    if (line[0] == '[') {
      if (line.back() != ']') reader.Fail(lineNo, "a section line must end with ]");
      const std::string inner = Trim(std::string_view(line).substr(1, line.size() - 2));
      const auto sp = inner.find_first_of(" \t");
      const std::string kind = Lower(sp == std::string::npos ? inner : inner.substr(0, sp));
      const std::string arg = sp == std::string::npos ? std::string() : Trim(std::string_view(inner).substr(sp));
      auto it = SectionKinds().find(kind);
      if (it == SectionKinds().end()) reader.Fail(lineNo, "unknown section [" + inner + "]");
      if (it->second.takesArgument == arg.empty()) {
        reader.Fail(lineNo, it->second.takesArgument ? "section [" + kind + "] needs a name, as in [" + kind + " C]"
                                                     : "section [" + kind + "] takes no name");
      }
      const std::string id = kind + " " + Lower(arg);  // device sections are numbered: [device 1]
      if (!seen.insert(id).second) reader.Fail(lineNo, "section [" + inner + "] appears twice");
      blocks.push_back({kind, arg, lineNo, {}});
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) reader.Fail(lineNo, "expected a section [name] or a line key = value");
    const std::string key = Lower(Trim(std::string_view(line).substr(0, eq)));
    const std::string value = Trim(std::string_view(line).substr(eq + 1));
    if (key.empty()) reader.Fail(lineNo, "a line key = value needs a key");
    if (blocks.empty()) reader.Fail(lineNo, "'" + key + "' stands before any section");
    Block& b = blocks.back();
    const SectionKind& sk = SectionKinds().at(b.kind);
    if (!sk.keys.count(key)) reader.Fail(lineNo, "unknown key '" + key + "' in section [" + b.kind + "]");
    if (b.entries.count(key)) reader.Fail(lineNo, "key '" + key + "' appears twice in section [" + b.kind + "]");
    b.entries[key] = {value, lineNo};
  }

  Description d;
  bool haveMachine = false;
  bool haveOs = false;
  bool haveProcess = false;
  for (const Block& b : blocks) {
    const SectionKind& sk = SectionKinds().at(b.kind);
    for (const auto& req : sk.required) {
      if (!b.entries.count(req)) reader.Fail(b.line, "section [" + b.kind + "] lacks the key '" + req + "'");
    }
    sk.apply(reader, b.arg, b.entries, b.line, d);
    haveMachine |= b.kind == "machine";
    haveOs |= b.kind == "os";
    haveProcess |= b.kind == "process";
  }
  if (!haveMachine) reader.Fail(0, "no section [machine] with the format number");
  if (!haveOs) reader.Fail(0, "no section [os]");
  if (!haveProcess) reader.Fail(0, "no section [process]");
  const wchar_t imageDrive = UpcaseUnit(d.process.image[0]);
  if (!d.drives.count(imageDrive)) {
    reader.Fail(0, "the program's drive " + std::string(1, static_cast<char>(imageDrive)) + ": has no [drive] section");
  }
  return d;
}

std::string FormatDescription(const Description& d) {
  std::ostringstream o;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(d.locale.uiLanguage));
  o << "# Simulated Windows machine (see docs/simulated-machine.md)\n"
    << "[machine]\nformat = " << kDescriptionFormat << "\n";
  if (!d.name.empty()) o << "name = " << d.name << "\n";
  o << "\n[os]\nmajor = " << d.os.major << "\nminor = " << d.os.minor << "\nbuild = " << d.os.build
    << "\nplatform_id = " << d.os.platformId << "\n";
  if (!d.os.servicePack.empty()) o << "service_pack = " << ToUtf8(d.os.servicePack) << "\n";
  o << "architecture = " << ArchitectureName(d.os.architecture) << "\n"
    << "native_system_info = " << (d.os.nativeSystemInfo ? "yes" : "no") << "\n"
    << "\n[locale]\nui_language = " << hex << "\nansi_code_page = " << d.locale.ansiCodePage
    << "\noem_code_page = " << d.locale.oemCodePage << "\n"
    << "\n[screen]\ndpi = " << d.screen.dpi << "\nfont_face = " << ToUtf8(d.screen.fontFace)
    << "\nfont_height = " << d.screen.fontHeight << "\nfont_weight = " << d.screen.fontWeight
    << "\nfont_charset = " << static_cast<int>(d.screen.fontCharSet) << "\n"
    << "\n[process]\nimage = " << ToUtf8(d.process.image) << "\n";
  if (!d.process.currentDirectory.empty()) o << "current_directory = " << ToUtf8(d.process.currentDirectory) << "\n";
  if (d.process.tlsSlots != 1088) o << "tls_slots = " << d.process.tlsSlots << "\n";
  if (!d.process.debugPrivilege) o << "debug_privilege = no\n";
  o << "\n[clock]\nmode = " << (d.clock.virtualTime ? "virtual" : "real") << "\ntick = " << d.clock.tick << "\n";
  for (const auto& [letter, folder] : d.drives) {
    o << "\n[drive " << static_cast<char>(letter) << "]\nfolder = " << folder << "\n";
  }
  int n = 0;
  for (const auto& dev : d.devices) {
    if (dev.card || dev.removed) continue;  // made by a card at start, or gone
    auto join = [](const std::vector<std::wstring>& ids) {
      std::string out;
      for (const auto& id : ids) out += (out.empty() ? "" : " | ") + ToUtf8(id);
      return out;
    };
    o << "\n[device " << ++n << "]\ninstance_id = " << ToUtf8(dev.instanceId) << "\n";
    if (!dev.classGuid.empty()) o << "class_guid = " << dev.classGuid << "\n";
    if (!dev.className.empty()) o << "class = " << ToUtf8(dev.className) << "\n";
    if (!dev.hardwareIds.empty()) o << "hardware_ids = " << join(dev.hardwareIds) << "\n";
    if (!dev.compatibleIds.empty()) o << "compatible_ids = " << join(dev.compatibleIds) << "\n";
    if (!dev.friendlyName.empty()) o << "friendly_name = " << ToUtf8(dev.friendlyName) << "\n";
    if (!dev.description.empty()) o << "description = " << ToUtf8(dev.description) << "\n";
    if (!dev.pdoName.empty()) o << "pdo_name = " << ToUtf8(dev.pdoName) << "\n";
    o << "present = " << (dev.present ? "yes" : "no") << "\n";
    if (dev.problem) o << "problem = " << dev.problem << "\n";
    if (dev.disabledGlobal || dev.disabledConfig)
      o << "disabled = " << (dev.disabledGlobal && dev.disabledConfig ? "both" : dev.disabledGlobal ? "global" : "config") << "\n";
    if (dev.stateChangeFails) o << "state_change = fails\n";
    if (dev.openDenied) o << "open = denied\n";
    if (dev.detailFails) o << "interface_detail = fails\n";
    for (std::size_t i = 0; i < dev.interfaces.size() && i < 5; ++i) {
      o << (i == 0 ? std::string("interface") : "interface" + std::to_string(i + 1)) << " = "
        << dev.interfaces[i].classGuid << " " << ToUtf8(dev.interfaces[i].symbolicLink) << "\n";
    }
  }
  int cardNumber = 0;
  for (const auto& c : d.cards) {
    char ids[32];
    std::snprintf(ids, sizeof ids, "%04X", static_cast<unsigned>(c.product));
    o << "\n[card " << ++cardNumber << "]\nmodel = " << ids << "\n";
    std::snprintf(ids, sizeof ids, "%04X", static_cast<unsigned>(c.vendor));
    o << "vendor = " << ids << "\nplugged_at = " << c.pluggedAt << "\nform = " << (c.startsComposite ? "composite" : "cdrom")
      << "\nswitch_delay = " << c.switchDelay << "\ninterface_delay = " << c.interfaceDelay << "\ninterfaces =";
    if (c.interfaces.empty()) o << " none";
    for (int mi : c.interfaces) o << " " << mi;
    o << "\ncommands_needed = " << c.commandsNeeded << "\n";
    if (!c.accepts.empty()) {
      o << "accepts =";
      for (const auto& a : c.accepts) o << " " << a;
      o << "\n";
    }
    if (c.ignoresCommand) o << "ignores_command = yes\n";
    if (c.cdromStays) o << "cdrom_stays = yes\n";
    if (c.unplugAt) o << "unplug_at = " << c.unplugAt << "\n";
  }
  const SetupDescription defaults;
  if (d.setup.signing != defaults.signing || d.setup.updateError || d.setup.updateRestart) {
    const char* signing[] = {"ignore", "warn", "block"};
    o << "\n[setup]\ndriver_signing = " << signing[static_cast<int>(d.setup.signing)] << "\n";
    if (d.setup.updateError) o << "update_error = " << d.setup.updateError << "\n";
    if (!d.setup.updateErrorId.empty()) o << "update_error_id = " << ToUtf8(d.setup.updateErrorId) << "\n";
    if (d.setup.updateRestart) o << "update_restart = yes\n";
  }
  return o.str();
}

Machine::Machine(fs::path folder, Description description)
    : m_folder(std::move(folder)),
      m_description(std::move(description)),
      m_virtualTick(m_description.clock.tick),
      m_realStartMs(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count()) {
  const fs::path regFile = m_folder / kRegistryFileName;
  std::error_code ec;
  if (fs::exists(regFile, ec)) {
    const auto text = ReadHostFile(regFile);
    if (!text) throw MachineError(regFile.string(), 0, "the registry file cannot be read");
    m_registry = Registry::Parse(*text, regFile.string());
  }
  MakeCardDevices();
  ApplyInstalledDrivers();
}

void Machine::ApplyInstalledDrivers() {
  for (DeviceDescription& d : m_description.devices) {
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\" + d.instanceId;
    const std::wstring driver = m_registry.GetString(key, L"Driver");
    if (driver.empty()) continue;
    d.driver = driver;
    const std::string guid = CanonicalGuid(ToUtf8(m_registry.GetString(key, L"ClassGUID")));
    if (!guid.empty()) d.classGuid = guid;
    const std::wstring cls = m_registry.GetString(key, L"Class");
    if (!cls.empty()) d.className = cls;
    const std::wstring friendly = m_registry.GetString(key, L"FriendlyName");
    if (!friendly.empty()) d.friendlyName = friendly;
  }
}

std::unique_ptr<Machine> Machine::Open(const fs::path& folder) {
  const fs::path file = folder / kDescriptionFileName;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw MachineError(folder.string(), 0, "the machine folder does not exist");
  if (!fs::exists(file, ec)) throw MachineError(file.string(), 0, "the machine description does not exist");
  if (fs::is_directory(file, ec)) throw MachineError(file.string(), 0, "the machine description is a folder, not a file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw MachineError(file.string(), 0, std::string("the machine description cannot be read: ") + std::strerror(errno));
  std::stringstream buf;
  buf << in.rdbuf();
  if (in.bad()) throw MachineError(file.string(), 0, "the machine description cannot be read");
  Description d = ParseDescription(buf.str(), file.string());
  for (const auto& [letter, sub] : d.drives) {
    if (!fs::is_directory(folder / sub, ec)) {
      throw MachineError(file.string(), 0, "the folder \"" + sub + "\" of drive " + std::string(1, static_cast<char>(letter)) +
                                               ": does not exist in the machine folder");
    }
  }
  return std::unique_ptr<Machine>(new Machine(folder, std::move(d)));
}

std::unique_ptr<Machine> Machine::Create(const fs::path& folder, const Description& description) {
  const fs::path file = folder / kDescriptionFileName;
  std::error_code ec;
  if (fs::exists(file, ec)) throw MachineError(file.string(), 0, "a machine already exists here");
  fs::create_directories(folder, ec);
  if (ec) throw MachineError(folder.string(), 0, "the machine folder cannot be created: " + ec.message());
  for (const auto& [letter, sub] : description.drives) {
    fs::create_directories(folder / sub, ec);
    if (ec) throw MachineError((folder / sub).string(), 0, "the drive folder cannot be created: " + ec.message());
  }
  std::unique_ptr<Machine> m(new Machine(folder, description));
  m->Save();
  return m;
}

fs::path Machine::DriveFolder(wchar_t letter) const {
  auto it = m_description.drives.find(UpcaseUnit(letter));
  if (it == m_description.drives.end()) return {};
  return m_folder / it->second;
}

win::DWORD Machine::TickCount() const {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  if (m_description.clock.virtualTime) return m_virtualTick;
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
  return static_cast<win::DWORD>(m_description.clock.tick + static_cast<std::uint64_t>(now - m_realStartMs));
}

std::uint64_t Machine::Elapsed() const {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  if (m_description.clock.virtualTime) return m_elapsed;
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
  return static_cast<std::uint64_t>(now - m_realStartMs);
}

void Machine::Advance(win::DWORD milliseconds) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  m_elapsed += milliseconds;
  m_virtualTick += milliseconds;  // wraps at 2^32 as Windows' tick count does
  UpdateCards();
}

void Machine::Save() const {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  const fs::path file = m_folder / kDescriptionFileName;
  const fs::path tmp = m_folder / (std::string(kDescriptionFileName) + ".new");
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << FormatDescription(m_description);
    if (!out) throw MachineError(tmp.string(), 0, "the machine description cannot be written");
  }
  std::error_code ec;
  fs::rename(tmp, file, ec);
  if (ec) throw MachineError(file.string(), 0, "the machine description cannot be replaced: " + ec.message());
  const fs::path regFile = m_folder / kRegistryFileName;
  if (m_registry.Empty() && !fs::exists(regFile, ec)) return;
  const fs::path regTmp = m_folder / (std::string(kRegistryFileName) + ".new");
  {
    std::ofstream out(regTmp, std::ios::binary | std::ios::trunc);
    out << m_registry.Format();
    if (!out) throw MachineError(regTmp.string(), 0, "the registry file cannot be written");
  }
  fs::rename(regTmp, regFile, ec);
  if (ec) throw MachineError(regFile.string(), 0, "the registry file cannot be replaced: " + ec.message());
}

namespace {

std::mutex g_currentLock;
std::unique_ptr<Machine> g_current;

void SaveAtExit() {
  std::lock_guard<std::mutex> guard(g_currentLock);
  if (g_current && g_current->Dirty()) {
    try {
      g_current->Save();
    } catch (const MachineError& e) {
      std::fprintf(stderr, "simulated machine: %s\n", e.what());
    }
  }
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return (v && *v) ? std::string(v) : fallback;
}

}  // namespace

Machine& Current() {
  std::lock_guard<std::mutex> guard(g_currentLock);
  if (!g_current) {
    try {
      const char* named = std::getenv(kMachineVariable);
      if (named && *named) {
        g_current = Machine::Open(named);
      } else {
        const fs::path folder = DefaultMachineFolder();
        std::error_code ec;
        if (fs::exists(folder / kDescriptionFileName, ec)) {
          g_current = Machine::Open(folder);
        } else {
          g_current = CreateFromTemplate(folder, DefaultTemplate(), true);
        }
      }
    } catch (const MachineError& e) {
      std::fprintf(stderr, "simulated machine: %s\n", e.what());
      std::fflush(stderr);
      std::_Exit(3);
    }
    static bool registered = false;
    if (!registered) {
      registered = true;
      std::atexit(SaveAtExit);
    }
  }
  return *g_current;
}

std::unique_ptr<Machine> Install(std::unique_ptr<Machine> machine) {
  std::lock_guard<std::mutex> guard(g_currentLock);
  std::swap(g_current, machine);
  return machine;
}

fs::path DefaultMachineFolder() {
  if (const char* home = std::getenv("DRVSETUP_SIM_HOME"); home && *home) return fs::path(home) / "default-machine";
  std::string cache = EnvOr("XDG_CACHE_HOME", "");
  if (cache.empty()) cache = EnvOr("HOME", "/tmp") + "/.cache";
  return fs::path(cache) / "drvsetup" / "default-machine";
}

fs::path ProductFolder() {
#ifndef DRVSETUP_SIM_PRODUCT_DIR
#define DRVSETUP_SIM_PRODUCT_DIR ""
#endif
  return fs::path(EnvOr("DRVSETUP_PRODUCT_DIR", DRVSETUP_SIM_PRODUCT_DIR));
}

fs::path ResetDefaultMachine() {
  const fs::path folder = DefaultMachineFolder();
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (ec) throw MachineError(folder.string(), 0, "the old default machine cannot be removed: " + ec.message());
  CreateFromTemplate(folder, DefaultTemplate(), true);
  return folder;
}

std::unique_ptr<Machine> CreateFromTemplate(const fs::path& folder, const Template& tmpl, bool withProduct) {
  auto machine = Machine::Create(folder, tmpl.description);
  const fs::path product = ProductFolder();
  std::error_code ec;
  if (withProduct && !product.empty() && fs::is_directory(product, ec)) {
    // C:\Program Files\Drvsetup\Bin\Drvsetup.exe -> the product goes to C:\Program Files\Drvsetup\.
    const std::wstring& image = tmpl.description.process.image;
    const auto binEnd = image.rfind(L'\\');
    const auto rootEnd = binEnd == std::wstring::npos ? std::wstring::npos : image.rfind(L'\\', binEnd - 1);
    if (rootEnd != std::wstring::npos && rootEnd >= 2) {
      fs::path target = machine->DriveFolder(image[0]);
      std::wstring rest = image.substr(3, rootEnd - 3);
      std::size_t start = 0;
      while (start < rest.size()) {
        auto sep = rest.find(L'\\', start);
        if (sep == std::wstring::npos) sep = rest.size();
        if (sep > start) target /= ToUtf8(rest.substr(start, sep - start));
        start = sep + 1;
      }
      fs::create_directories(target, ec);
      fs::copy(product, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
      if (ec) throw MachineError(target.string(), 0, "the product cannot be copied into the machine: " + ec.message());
    }
  }
  return machine;
}

}  // namespace sim
