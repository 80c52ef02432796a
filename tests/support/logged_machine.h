// A simulated machine with the diagnostic log switched on, for tests that read the log lines.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "env/log.h"
#include "env/paths.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace testsupport {

class LoggedMachineTest : public ::testing::Test {
 protected:
  /// Makes a fresh machine from `tmpl` with `devices`, and a fresh log beside its program.
  void Use(std::vector<sim::DeviceDescription> devices, const std::string& tmpl = "win7-x64") {
    m_machine.reset();  // the old machine gives the current place back first
    m_machine = std::make_unique<ScopedMachine>(tmpl, [&](sim::Description& d) { d.devices = devices; });
    m_marker = GetModuleDirectory() + L"EnableLog.txt";
    env_testing::ResetLog();
    WriteFileBytes(m_marker, "");
  }
  /// The lines logged since Use, and the log closed.
  std::string Log() {
    env_testing::ResetLog();
    return ReadFileBytes(m_marker);
  }
  void TearDown() override {
    env_testing::ResetLog();
    m_machine.reset();
  }

  std::unique_ptr<ScopedMachine> m_machine;
  std::wstring m_marker;
};

}  // namespace testsupport
