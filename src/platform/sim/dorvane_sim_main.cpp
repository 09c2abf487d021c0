// `dorvane-sim`: manages the simulated machine of the host build.
#include <signal.h>

#include <string>
#include <vector>

#include "app/dorvane.h"
#include "platform/sim/fd_stream.h"
#include "platform/sim/sim_cli.h"
#include "platform/sim/state_file.h"

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  dorvane::sim::FdStream out(1), err(2);
  dorvane::sim::StateFile state;
  std::string error;
  if (!state.Lock(dorvane::sim::StateFilePathFromEnvironment(), &error)) {
    dorvane::sim::WriteText(err, "dorvane-sim: " + error + "\n");
    return dorvane::sim::kHostFailure;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  return dorvane::sim::RunSimCommand(args, state, dorvane::RunDorvane, out,
                                     err);
}
