// Entry point of the simulated machine's programs: wide arguments for wmain, as Windows passes them.
// argv[0] becomes the program's path on the machine; the machine is loaded before the program runs,
// so a faulty description stops it before it does anything.
#include <clocale>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/process.h"
#include "platform/sim/unicode.h"

int wmain(int argc, wchar_t** argv);

int main(int argc, char** argv) {
  sim::Machine& machine = sim::Current();
  std::vector<std::wstring> args;
  args.push_back(machine.Desc().process.image);
  for (int i = 1; i < argc; ++i) args.push_back(sim::FromUtf8(argv[i]));
  std::wstring commandLine;
  for (const auto& a : args) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += sim::QuoteArgument(a);
  }
  sim::SetCommandLine(commandLine);
  std::vector<wchar_t*> wargv;
  for (auto& a : args) wargv.push_back(a.data());
  wargv.push_back(nullptr);
  return wmain(static_cast<int>(args.size()), wargv.data());
}
