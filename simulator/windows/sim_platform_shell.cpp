// The shell: ShellExecuteA, and devcon.exe when it is started.
#include <cstring>

#include "simulator/windows/devcon.h"
#include "simulator/windows/host_files.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {

std::uintptr_t SimPlatform::ShellExecuteA(Handle window, const char* operation,
                                          const char* file,
                                          const char* parameters,
                                          const char* directory,
                                          int show_command) {
  // The tool opens devcon.exe, shown, in its own current directory.
  if (window != 0 || operation == nullptr ||
      std::strcmp(operation, "open") != 0 || file == nullptr ||
      std::strcmp(file, "devcon.exe") != 0 || parameters == nullptr ||
      directory != nullptr || show_command != kSwShow) {
    NotSimulated("ShellExecuteA %s \"%s\" with show command %d",
                 operation != nullptr ? operation : "(default verb)",
                 file != nullptr ? file : "", show_command);
  }
  if (Begin(Record("ShellExecuteA"))) {
    std::uint32_t error = calls_.back().error;
    return error <= 32 ? error : 0;
  }
  // The shell answers for the start alone. A started devcon.exe then does
  // its work on the machine; whether that works out (the driver may already
  // be in the state asked for) is devcon's own business and only shows in
  // the launch record, as the caller of the shell never learns it either.
  Launch launch{file, parameters, machine_.shell_result, ""};
  const std::string path =
      current_directory_.empty() ? file : current_directory_ + "/" + file;
  if (launch.result > 32 && !HostFileIsProgram(path)) {
    // What the shell answers for a file that is no Windows program.
    launch.result = kShellBadFormat;
    Failed(kErrorBadExeFormat);
  } else if (launch.result <= 32) {
    Failed(launch.result == 0 ? kErrorNotEnoughMemory
                              : static_cast<std::uint32_t>(launch.result));
  } else {
    launch.outcome = RunDevcon(machine_, launch.parameters);
    Succeed();
  }
  machine_.launches.push_back(launch);
  return launch.result;
}

}  // namespace dorvane::sim
