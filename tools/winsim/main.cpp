// winsim: creates, checks, shows and resets simulated Windows machines.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/drivers.h"
#include "platform/sim/machine.h"
#include "platform/sim/unicode.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fputs(
      "usage: winsim COMMAND [ARGS]\n"
      "  templates                         list the machine templates\n"
      "  create DIR [--template NAME] [--no-product]\n"
      "                                    make a machine folder (default template: default, the\n"
      "                                    default machine's Windows 7 x64 with a card; the\n"
      "                                    product folder is copied in unless --no-product)\n"
      "  check DIR                         read DIR's description; report the first fault\n"
      "  show [DIR]                        show a machine (default: $DRVSETUP_MACHINE, else the\n"
      "                                    default machine)\n"
      "  plug DIR MODEL [--at MS] [--composite] [--vendor VID]\n"
      "                                    plug a card (product ID in hex, e.g. FFF1) in, in its CD-ROM\n"
      "                                    form unless --composite, MS milliseconds after a program starts\n"
      "  unplug DIR [N]                    take card N (default: every card) out\n"
      "  devices [DIR]                     list the device tree as a program sees it at its start\n"
      "  comdb DIR [reserve LIST]          show the COM names the arbiter's database holds taken, or\n"
      "                                    reserve more (LIST: 1-10,12)\n"
      "  default                           print where the default machine lives\n"
      "  reset-default                     make the default machine afresh\n",
      stderr);
  return 2;
}

fs::path MachineFolderArg(const std::vector<std::string>& args, std::size_t index) {
  if (index < args.size()) return args[index];
  const char* named = std::getenv(sim::kMachineVariable);
  if (named && *named) return named;
  return sim::DefaultMachineFolder();
}

void Show(const sim::Machine& m) {
  const sim::Description& d = m.Desc();
  std::printf("machine   %s\n", m.Folder().string().c_str());
  if (!d.name.empty()) std::printf("name      %s\n", d.name.c_str());
  std::printf("windows   %u.%u build %u, platform id %u%s%s\n", d.os.major, d.os.minor, d.os.build, d.os.platformId,
              d.os.servicePack.empty() ? "" : ", ", sim::ToUtf8(d.os.servicePack).c_str());
  std::printf("processor %s, GetNativeSystemInfo %s\n", sim::ArchitectureName(d.os.architecture),
              d.os.nativeSystemInfo ? "present" : "absent");
  std::printf("locale    UI language %04X, ANSI code page %u, OEM code page %u\n", d.locale.uiLanguage,
              d.locale.ansiCodePage, d.locale.oemCodePage);
  std::printf("program   %s\n", sim::ToUtf8(d.process.image).c_str());
  if (!d.process.currentDirectory.empty())
    std::printf("directory %s\n", sim::ToUtf8(d.process.currentDirectory).c_str());
  std::printf("clock     %s, tick %u at program start\n", d.clock.virtualTime ? "virtual" : "real", d.clock.tick);
  for (const auto& [letter, folder] : d.drives) {
    std::size_t files = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(m.Folder() / folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) ++files;
    }
    std::printf("drive %c:  %s (%zu files)\n", static_cast<char>(letter), (m.Folder() / folder).string().c_str(), files);
  }
  int n = 0;
  for (const auto& c : d.cards) {
    std::printf("card %d    VID_%04X&PID_%04X, %s at %llu ms%s\n", ++n, c.vendor, c.product,
                c.startsComposite ? "switched" : "CD-ROM form", static_cast<unsigned long long>(c.pluggedAt),
                c.ignoresCommand ? ", ignores the switch command" : "");
  }
  std::size_t own = 0;
  for (const auto& dev : d.devices) own += dev.card == 0;
  std::printf("devices   %zu described, %zu of cards\n", own, d.devices.size() - own);
}

void ListDevices(sim::Machine& m) {
  m.UpdateCards();
  for (const auto& dev : m.Desc().devices) {
    std::printf("%-8s %s\n", dev.present ? "present" : "absent", sim::ToUtf8(dev.instanceId).c_str());
    for (const auto& id : dev.hardwareIds) std::printf("         hardware   %s\n", sim::ToUtf8(id).c_str());
    for (const auto& itf : dev.interfaces) std::printf("         interface  %s\n", sim::ToUtf8(itf.symbolicLink).c_str());
    if (!dev.driver.empty())
      std::printf("         driver     %s %s (%s)\n", sim::ToUtf8(dev.className).c_str(), sim::ToUtf8(dev.driver).c_str(),
                  sim::ToUtf8(dev.friendlyName).c_str());
  }
}

// "1-10,12" -> the COM numbers 1 to 10 and 12; false for text that is no such list.
bool ParseComList(const std::string& text, std::vector<int>& numbers) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    const auto dash = item.find('-');
    char* rest = nullptr;
    const long first = std::strtol(item.c_str(), &rest, 10);
    const long last = dash == std::string::npos ? first : std::strtol(item.c_str() + dash + 1, &rest, 10);
    if (item.empty() || *rest != '\0' || first < 1 || last < first || last > 256) return false;
    for (long n = first; n <= last; ++n) numbers.push_back(static_cast<int>(n));
    start = end + 1;
  }
  return !numbers.empty();
}

void ShowComDb(const sim::Machine& m) {
  const std::vector<int> taken = sim::TakenComNumbers(m);
  std::printf("COM names taken:");
  for (int n : taken) std::printf(" COM%d", n);
  std::printf("%s\n", taken.empty() ? " none" : "");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string& cmd = args[0];
  try {
    if (cmd == "templates") {
      for (const auto& t : sim::Templates()) std::printf("%-10s %s\n", t.name.c_str(), t.summary.c_str());
      return 0;
    }
    if (cmd == "create") {
      if (args.size() < 2) return Usage();
      std::string name = sim::DefaultTemplate().name;
      bool product = true;
      for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--template" && i + 1 < args.size()) {
          name = args[++i];
        } else if (args[i] == "--no-product") {
          product = false;
        } else {
          return Usage();
        }
      }
      const sim::Template* t = sim::FindTemplate(name);
      if (!t) {
        std::fprintf(stderr, "winsim: no template named %s (see winsim templates)\n", name.c_str());
        return 2;
      }
      auto m = sim::CreateFromTemplate(args[1], *t, product);
      Show(*m);
      return 0;
    }
    if (cmd == "check") {
      if (args.size() != 2) return Usage();
      sim::Machine::Open(args[1]);
      std::printf("%s: the description is sound\n", args[1].c_str());
      return 0;
    }
    if (cmd == "show") {
      const fs::path folder = MachineFolderArg(args, 1);
      std::error_code ec;
      if (args.size() < 2 && !std::getenv(sim::kMachineVariable) && !fs::exists(folder / sim::kDescriptionFileName, ec)) {
        sim::CreateFromTemplate(folder, sim::DefaultTemplate(), true);
      }
      Show(*sim::Machine::Open(folder));
      return 0;
    }
    if (cmd == "plug") {
      if (args.size() < 3) return Usage();
      auto m = sim::Machine::Open(args[1]);
      sim::CardDescription card;
      card.product = static_cast<win::WORD>(std::stoul(args[2], nullptr, 16));
      for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--at" && i + 1 < args.size()) {
          card.pluggedAt = std::stoull(args[++i]);
        } else if (args[i] == "--vendor" && i + 1 < args.size()) {
          card.vendor = static_cast<win::WORD>(std::stoul(args[++i], nullptr, 16));
        } else if (args[i] == "--composite") {
          card.startsComposite = true;
        } else {
          return Usage();
        }
      }
      m->MutableDesc().cards.push_back(card);
      m->Save();
      Show(*sim::Machine::Open(args[1]));
      return 0;
    }
    if (cmd == "unplug") {
      if (args.size() < 2 || args.size() > 3) return Usage();
      auto m = sim::Machine::Open(args[1]);
      auto& cards = m->MutableDesc().cards;
      if (args.size() == 3) {
        const std::size_t n = std::stoul(args[2]);
        if (n == 0 || n > cards.size()) {
          std::fprintf(stderr, "winsim: the machine has no card %zu\n", n);
          return 2;
        }
        cards.erase(cards.begin() + static_cast<std::ptrdiff_t>(n - 1));
      } else {
        cards.clear();
      }
      m->Save();
      Show(*sim::Machine::Open(args[1]));
      return 0;
    }
    if (cmd == "devices") {
      auto m = sim::Machine::Open(MachineFolderArg(args, 1));
      ListDevices(*m);
      return 0;
    }
    if (cmd == "comdb") {
      if (args.size() != 2 && !(args.size() == 4 && args[2] == "reserve")) return Usage();
      auto m = sim::Machine::Open(args[1]);
      if (args.size() == 4) {
        std::vector<int> numbers;
        if (!ParseComList(args[3], numbers)) {
          std::fprintf(stderr, "winsim: COM numbers are written 1-10,12 (1 to 256)\n");
          return 2;
        }
        for (int n : numbers) sim::TakeComNumber(*m, n);
        m->Save();
      }
      ShowComDb(*m);
      return 0;
    }
    if (cmd == "default") {
      std::printf("%s\n", sim::DefaultMachineFolder().string().c_str());
      return 0;
    }
    if (cmd == "reset-default") {
      const fs::path folder = sim::ResetDefaultMachine();
      Show(*sim::Machine::Open(folder));
      return 0;
    }
  } catch (const sim::MachineError& e) {
    std::fprintf(stderr, "winsim: %s\n", e.what());
    return 3;
  } catch (const std::exception&) {
    std::fprintf(stderr, "winsim: a number was expected\n");
    return 2;
  }
  return Usage();
}
