// Simulated machines for tests: a fresh machine folder per scope, made current while the scope lives.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace testsupport {

/// Creates a machine from a template in a temporary folder, lets `adjust` change its description,
/// and makes it the current machine until the scope ends (the previous one comes back then). Scopes
/// must nest: end one before making the next in its place.
class ScopedMachine {
 public:
  explicit ScopedMachine(const std::string& templateName = "win7-x64",
                         const std::function<void(sim::Description&)>& adjust = {});
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

  sim::Machine& Get() { return *m_machine; }
  const std::filesystem::path& Folder() const { return m_folder; }

 private:
  std::filesystem::path m_folder;
  sim::Machine* m_machine = nullptr;
  std::unique_ptr<sim::Machine> m_previous;
};

/// A new empty temporary folder on the host.
std::filesystem::path NewHostFolder(const std::string& stem);

}  // namespace testsupport
