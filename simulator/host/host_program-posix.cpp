#include <signal.h>

#include <string>

#include "simulator/host/fd_stream.h"
#include "simulator/host/host_program.h"
#include "simulator/host/sim_cli.h"
#include "simulator/host/state_file.h"

namespace dorvane::sim {

int RunHostProgram(const char* program, const HostWork& work) {
  // A closed pipe must show as a failed write, as it does on Windows.
  signal(SIGPIPE, SIG_IGN);
  FdStream out(1), err(2);
  StateFile state;
  std::string error;
  if (!state.Lock(StateFilePathFromEnvironment(), &error)) {
    WriteText(err, std::string(program) + ": " + error + "\n");
    return kHostFailure;
  }
  return work(state, out, err);
}

}  // namespace dorvane::sim
