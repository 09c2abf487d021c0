// devcon.exe as the simulated machine runs it after the shell launched it.
#pragma once

#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

// Runs devcon.exe with its parameter text on the machine: "install <inf>
// ROOT\PhDskMnt" installs the driver, "remove ROOT\PhDskMnt" removes it with
// its disks. Returns what devcon would report; a command that does not
// apply (the driver already in that state, other hardware, other verbs)
// changes nothing and reports "failed: ...". The .inf file is not examined.
std::string RunDevcon(SimMachine& machine, const std::string& parameters);

}  // namespace dorvane::sim
