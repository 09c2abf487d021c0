// What both host programs do around their work: the host's standard streams,
// no signal for a closed pipe, and the machine's state file locked for the
// whole run.
#pragma once

#include <functional>

#include "simulator/host/machine_store.h"
#include "simulator/windows/sim_stream.h"

namespace dorvane::sim {

using HostWork =
    std::function<int(MachineStore& store, SimStream& out, SimStream& err)>;

// Runs work with the locked state file; its exit code, or kHostFailure with
// a message naming program when the file cannot be locked.
int RunHostProgram(const char* program, const HostWork& work);

}  // namespace dorvane::sim
