// The machine in readable form, for `dorvane-sim show`.
#pragma once

#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

std::string DescribeMachine(const SimMachine& machine);

}  // namespace dorvane::sim
