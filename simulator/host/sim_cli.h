// The host build's two programs: `dorvane` runs the tool once on the stored
// machine, `dorvane-sim` manages that machine. Both are written against a
// store and streams so that tests can drive them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "simulator/host/machine_store.h"
#include "simulator/windows/sim_stream.h"

namespace dorvane::sim {

// The tool's entry (RunDorvane in the real programs).
using ToolEntry = std::function<int(Platform&)>;

// Exit code of the host programs when the machine itself is in the way (it
// cannot be loaded or saved) or `dorvane-sim` is called wrongly.
constexpr int kHostFailure = 2;

// Loads the machine, runs the tool once with exactly this command line and
// the given standard streams, and saves the machine whatever the tool's
// outcome. Returns the tool's exit code.
int RunToolOnStore(MachineStore& store, const std::string& command_line,
                   const ToolEntry& tool, SimStream& out, SimStream& err);

// dorvane-sim with its arguments (without the program's name):
//   reset [--no-driver] [--not-nt] [--codepage 1252|65001]
//   fail CALL ERROR [COUNT] [--after N]
//   show                 (prints the machine's state-file records)
//   run 'RAW COMMAND LINE'
int RunSimCommand(const std::vector<std::string>& args, MachineStore& store,
                  const ToolEntry& tool, SimStream& out, SimStream& err);

}  // namespace dorvane::sim
