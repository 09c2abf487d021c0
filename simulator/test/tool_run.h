// Running the tool once on a simulated machine, for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/control_messages.h"
#include "app/dorvane.h"
#include "simulator/sim_platform.h"

namespace dorvane::testing {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
  std::size_t open_handles = 0;
  std::vector<sim::CallRecord> calls;
};

// console: standard output is a console rather than a file or pipe.
inline ToolRun RunTool(sim::SimMachine& machine,
                       const std::string& command_line, bool console = false) {
  sim::SimPlatform platform(machine, command_line);
  platform.mutable_out().set_console(console);
  ToolRun run;
  run.exit_code = RunDorvane(platform);
  run.out = platform.out().text();
  run.err = platform.err().text();
  run.open_handles = platform.open_handles();
  run.calls = platform.calls();
  return run;
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

// The last request with the given control code.
inline std::vector<std::uint8_t> LastRequest(
    const std::vector<sim::CallRecord>& calls, std::uint32_t control_code) {
  std::vector<std::uint8_t> last;
  for (const std::vector<std::uint8_t>& request : MiniportRequests(calls)) {
    if (request.size() >= 20 && GetU32(request.data() + 16) == control_code) {
      last = request;
    }
  }
  return last;
}

inline const char kBanner[] = "Dorvane v0.3 by dorvane@example.org\r\n";

}  // namespace dorvane::testing
