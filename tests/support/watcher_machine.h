// A simulated machine with a build of the pop-up watcher library in a folder of its own.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/sim_machine.h"

namespace testsupport {

/// A machine from `templateName` whose folder C:\Watcher\ holds the library file `library` as
/// "PopupWatcher.dll" (null: the folder stays empty).
class WatcherMachine {
 public:
  explicit WatcherMachine(const char* library, const std::string& templateName = "winxp",
                          const std::function<void(sim::Description&)>& adjust = {})
      : m_machine(templateName, adjust) {
    const std::filesystem::path folder = m_machine.Get().DriveFolder(L'C') / "Watcher";
    std::filesystem::create_directories(folder);
    if (library) std::filesystem::copy_file(library, folder / "PopupWatcher.dll");
  }

  static constexpr const wchar_t* kDirectory = L"C:\\Watcher\\";

  sim::Machine& Get() { return m_machine.Get(); }
  sim::Record& Observed() { return m_machine.Get().Observed(); }
  int Loads() { return Observed().libraryLoads[L"popupwatcher.dll"]; }
  int Frees() { return Observed().libraryFrees[L"popupwatcher.dll"]; }

 private:
  ScopedMachine m_machine;
};

}  // namespace testsupport
