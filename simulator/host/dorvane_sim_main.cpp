// `dorvane-sim`: manages the simulated machine of the host build.
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "simulator/host/host_program.h"
#include "simulator/host/sim_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return dorvane::sim::RunHostProgram(
      "dorvane-sim",
      [&args](dorvane::sim::MachineStore& store, dorvane::sim::SimStream& out,
              dorvane::sim::SimStream& err) {
        return dorvane::sim::RunSimCommand(args, store, dorvane::RunDorvane,
                                           out, err);
      });
}
