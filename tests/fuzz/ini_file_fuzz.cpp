// Fuzz target: the settings-file reader on arbitrary bytes, in several system code pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "localization/ini_file.h"
#include "localization/localizer.h"
#include "platform/sim/machine.h"
#include "tests/support/sim_machine.h"

namespace {

std::unique_ptr<testsupport::ScopedMachine> g_machine;

void Cleanup() { g_machine.reset(); }

const unsigned kCodePages[] = {1252, 1251, 1250, 936, 950, 932, 949};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_machine = std::make_unique<testsupport::ScopedMachine>("winxp");
  std::atexit(Cleanup);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input's length chooses the system code page the ANSI reading uses.
  g_machine->Get().MutableDesc().locale.ansiCodePage = kCodePages[size % std::size(kCodePages)];
  const CIniFile ini(CIniFile::FromBytes{}, std::string_view(reinterpret_cast<const char*>(data), size));
  std::size_t total = 0;
  for (unsigned i = 0; i < ini.GetSectionCount(); ++i) {
    const std::wstring& section = ini.GetSectionName(i);
    std::wstring key, value;
    for (unsigned j = 0; ini.GetKeyAt(section, j, key, value); ++j) {
      total += ini.GetValue(section, key).size();
      total += ParseTextEntry(value).text.size();
    }
    if (ini.GetKeyCount(section) == 0 && section.empty()) std::abort();  // names are never empty
  }
  return total == static_cast<std::size_t>(-1) ? 1 : 0;
}
