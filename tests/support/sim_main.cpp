// Test entry point on the simulated platform: every test program runs on a fresh machine of its own,
// never on the user's default machine.
#include <gtest/gtest.h>

#include "tests/support/sim_machine.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  testsupport::ScopedMachine machine("win7-x64");
  return RUN_ALL_TESTS();
}
