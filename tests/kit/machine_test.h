// The fixture of a test that runs code on a simulated machine: the default
// machine, a platform over it, and every handle closed by the test's end.
#pragma once

#include <gtest/gtest.h>

#include "simulator/windows/sim_platform.h"

namespace dorvane::test {

class MachineTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  sim::SimMachine machine_ = sim::SimMachine::Default();
  sim::SimPlatform platform_{machine_, "dorvane"};
};

}  // namespace dorvane::test
