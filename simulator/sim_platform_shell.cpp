// The shell: ShellExecuteA, and devcon.exe when it is started.
#include <cctype>
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/devcon.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

bool SameTextIgnoringCase(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::uintptr_t SimPlatform::ShellExecuteA(
    Handle /*window*/, const char* /*operation*/, const char* file,
    const char* parameters, const char* /*directory*/, int /*show_command*/) {
  CallRecord record = Record("ShellExecuteA");
  record.text = TextOf(parameters);
  record.text2 = TextOf(file);
  if (Begin(std::move(record))) {
    std::uint32_t error = calls_.back().error;
    return error <= 32 ? error : 0;
  }
  // The shell answers for the start alone. A started devcon.exe then does
  // its work on the machine; whether that works out (the driver may already
  // be in the state asked for) is devcon's own business and only shows in
  // the launch record, as the caller of the shell never learns it either.
  Launch launch;
  launch.file = TextOf(file);
  launch.parameters = TextOf(parameters);
  launch.result = machine_.shell_result;
  calls_.back().a = static_cast<std::uint32_t>(launch.result);
  if (launch.result <= 32) {
    Failed(launch.result == 0 ? kErrorNotEnoughMemory
                              : static_cast<std::uint32_t>(launch.result));
  } else {
    launch.outcome = SameTextIgnoringCase(launch.file, "devcon.exe")
                         ? RunDevcon(machine_, launch.parameters)
                         : "started";
    Succeed();
  }
  machine_.launches.push_back(launch);
  return launch.result;
}

}  // namespace dorvane::sim
