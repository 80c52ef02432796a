// Simulated machines for tests.
#include "tests/support/sim_machine.h"

#include <stdlib.h>

#include <stdexcept>

#include "platform/sim/unicode.h"

namespace fs = std::filesystem;

namespace testsupport {

fs::path NewHostFolder(const std::string& stem) {
  std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  return pattern;
}

ScopedMachine::ScopedMachine(const std::string& templateName, const std::function<void(sim::Description&)>& adjust)
    : m_folder(NewHostFolder("drvsetup-machine")) {
  const sim::Template* t = sim::FindTemplate(templateName);
  if (!t) throw std::runtime_error("no machine template " + templateName);
  sim::Template copy = *t;
  if (adjust) adjust(copy.description);
  auto machine = sim::CreateFromTemplate(m_folder, copy, false);
  // The program's own directory exists on every test machine.
  const std::wstring& image = copy.description.process.image;
  fs::path bin = machine->DriveFolder(image[0]);
  std::wstring rest = image.substr(3, image.rfind(L'\\') - 3);
  std::size_t start = 0;
  while (start < rest.size()) {
    auto sep = rest.find(L'\\', start);
    if (sep == std::wstring::npos) sep = rest.size();
    bin /= sim::ToUtf8(rest.substr(start, sep - start));
    start = sep + 1;
  }
  fs::create_directories(bin);
  m_machine = machine.get();
  m_previous = sim::Install(std::move(machine));
}

ScopedMachine::~ScopedMachine() {
  sim::Install(std::move(m_previous));
  std::error_code ec;
  fs::remove_all(m_folder, ec);
}

}  // namespace testsupport
