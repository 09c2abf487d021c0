// The host build's `dorvane`: the tool on the simulated machine kept in the
// state file, with the host's own standard output and error.
#include <signal.h>

#include <string>
#include <vector>

#include "app/dorvane.h"
#include "platform/sim/command_line.h"
#include "platform/sim/fd_stream.h"
#include "platform/sim/sim_cli.h"
#include "platform/sim/state_file.h"

int main(int argc, char** argv) {
  // A closed pipe must show as a failed write, as it does on Windows.
  signal(SIGPIPE, SIG_IGN);
  dorvane::sim::FdStream out(1), err(2);
  dorvane::sim::StateFile state;
  std::string error;
  if (!state.Lock(dorvane::sim::StateFilePathFromEnvironment(), &error)) {
    dorvane::sim::WriteText(err, "dorvane: " + error + "\n");
    return dorvane::sim::kHostFailure;
  }
  std::vector<std::string> args(argv, argv + argc);
  return dorvane::sim::RunToolOnStore(state,
                                      dorvane::sim::BuildCommandLine(args),
                                      dorvane::RunDorvane, out, err);
}
