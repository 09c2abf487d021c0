// The host build's `dorvane`: the tool on the simulated machine kept in the
// state file, with the host's own standard output and error.
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "simulator/host/command_line.h"
#include "simulator/host/host_program.h"
#include "simulator/host/sim_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return dorvane::sim::RunHostProgram(
      "dorvane",
      [&args](dorvane::sim::MachineStore& store, dorvane::sim::SimStream& out,
              dorvane::sim::SimStream& err) {
        return dorvane::sim::RunToolOnStore(
            store, dorvane::sim::BuildCommandLine(args), dorvane::RunDorvane,
            out, err);
      });
}
