// Running the tool once on a simulated machine, for tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "platform/platform.h"
#include "simulator/windows/sim_platform.h"

namespace dorvane::test {

// The run's calls. The run itself must end in order: exit code 0, nothing
// on standard error, every handle closed.
inline std::vector<sim::CallRecord> RunTool(sim::SimMachine& machine,
                                            const std::string& command_line) {
  sim::SimPlatform platform(machine, command_line);
  EXPECT_EQ(RunDorvane(platform), 0) << command_line;
  EXPECT_EQ(platform.err().text(), "") << command_line;
  EXPECT_EQ(platform.open_handles(), 0u) << command_line;
  return platform.calls();
}

// The miniport requests sent, as their input bytes, in order.
inline std::vector<std::vector<std::uint8_t>> MiniportRequests(
    const std::vector<sim::CallRecord>& calls) {
  std::vector<std::vector<std::uint8_t>> requests;
  for (const sim::CallRecord& call : calls) {
    if (call.call == "DeviceIoControl" && call.a == kIoctlScsiMiniport) {
      requests.push_back(call.bytes);
    }
  }
  return requests;
}

}  // namespace dorvane::test
