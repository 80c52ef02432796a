// The machine templates: one per Windows generation and architecture the product meets.
#include "platform/sim/machine.h"

namespace sim {

namespace {

Template Make(std::string name, std::string summary, win::DWORD major, win::DWORD minor, win::DWORD build,
              win::DWORD platformId, std::wstring servicePack, Architecture arch, bool nativeSystemInfo) {
  Template t;
  t.name = std::move(name);
  t.summary = summary;
  Description& d = t.description;
  d.name = std::move(summary);
  d.os.major = major;
  d.os.minor = minor;
  d.os.build = build;
  d.os.platformId = platformId;
  d.os.servicePack = std::move(servicePack);
  d.os.architecture = arch;
  d.os.nativeSystemInfo = nativeSystemInfo;
  d.process.image = L"C:\\Program Files\\Drvsetup\\Bin\\Drvsetup.exe";
  d.process.currentDirectory = L"C:\\Program Files\\Drvsetup\\Bin";
  d.drives[L'C'] = "drive_c";
  return t;
}

}  // namespace

const std::vector<Template>& Templates() {
  using A = Architecture;
  static const std::vector<Template> templates = {
      Make("win98", "Windows 98 SE", 4, 10, 2222, 1, L"A", A::X86, false),
      Make("winme", "Windows Me", 4, 90, 3000, 1, L"", A::X86, false),
      Make("nt4", "Windows NT 4.0", 4, 0, 1381, 2, L"Service Pack 6", A::X86, false),
      Make("win2000", "Windows 2000 Professional", 5, 0, 2195, 2, L"Service Pack 4", A::X86, false),
      Make("winxp", "Windows XP Professional", 5, 1, 2600, 2, L"Service Pack 3", A::X86, true),
      Make("winxp-x64", "Windows XP Professional x64", 5, 2, 3790, 2, L"Service Pack 2", A::Amd64, true),
      Make("win2003", "Windows Server 2003", 5, 2, 3790, 2, L"Service Pack 2", A::X86, true),
      Make("vista-x86", "Windows Vista", 6, 0, 6002, 2, L"Service Pack 2", A::X86, true),
      Make("vista-x64", "Windows Vista x64", 6, 0, 6002, 2, L"Service Pack 2", A::Amd64, true),
      Make("win7-x86", "Windows 7", 6, 1, 7601, 2, L"Service Pack 1", A::X86, true),
      Make("win7-x64", "Windows 7 x64", 6, 1, 7601, 2, L"Service Pack 1", A::Amd64, true),
      Make("win8", "Windows 8 x64", 6, 2, 9200, 2, L"", A::Amd64, true),
  };
  return templates;
}

const Template* FindTemplate(std::string_view name) {
  for (const auto& t : Templates()) {
    if (t.name == name) return &t;
  }
  if (name == "default") return &DefaultTemplate();
  return nullptr;
}

const Template& DefaultTemplate() {
  // Windows 7 x64 with the product installed and a card plugged in in its CD-ROM form.
  static const Template defaultMachine = [] {
    Template t = *FindTemplate("win7-x64");
    t.name = "default";
    t.summary = "Windows 7 x64 with a data card (PID FFF1) in its CD-ROM form";
    t.description.name = t.summary;
    CardDescription card;
    card.product = 0xFFF1;
    card.interfaces = {0, 1, 2, 3, 4};
    t.description.cards.push_back(card);
    return t;
  }();
  return defaultMachine;
}

}  // namespace sim
