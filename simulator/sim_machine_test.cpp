#include "simulator/sim_machine.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

// Each rule counts every call of its own for itself: after its `after`
// calls it fails the next `count`, the first rule due giving the error.
// A rule for another call is left alone.
TEST(SimMachineTest, FailureRulesCountAfterThenFail) {
  struct Case {
    std::vector<FailRule> rules;          // beside a DeviceIoControl rule
    std::vector<std::uint32_t> outcomes;  // of four CreateFileA (0: ok)
  };
  const Case cases[] = {
      {{{"CreateFileA", 5, 1, 0}}, {5, 0, 0, 0}},
      {{{"CreateFileA", 5, 2, 0}}, {5, 5, 0, 0}},
      {{{"CreateFileA", 5, 1, 2}}, {0, 0, 5, 0}},
      {{{"CreateFileA", 5, 2, 1}}, {0, 5, 5, 0}},
      {{{"CreateFileA", 2, 1, 1}, {"CreateFileA", 3, 1, 0}}, {3, 2, 0, 0}},
      {{{"CreateFileA", 2, 2, 0}, {"CreateFileA", 3, 1, 0}}, {2, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    SimMachine machine = SimMachine::Default();
    machine.Fail("DeviceIoControl", 1);
    for (const FailRule& r : c.rules) {
      machine.Fail(r.call, r.error, r.count, r.after);
    }
    std::vector<std::uint32_t> outcomes;
    for (int i = 0; i < 4; ++i) {
      std::uint32_t error = 0;
      outcomes.push_back(machine.ConsumeFailure("CreateFileA", &error) ? error
                                                                       : 0);
    }
    EXPECT_EQ(outcomes, c.outcomes) << &c - cases;
    ASSERT_EQ(machine.failures.size(), 1u);
    EXPECT_EQ(machine.failures[0].call, "DeviceIoControl");
  }
}

}  // namespace
}  // namespace dorvane::sim
