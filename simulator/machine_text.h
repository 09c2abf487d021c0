// The machine as text: the versioned record format of the state file, which
// `dorvane-sim show` prints as well.
#pragma once

#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

std::string SaveMachine(const SimMachine& machine);
// False, leaving *machine unchanged, for anything that is not a complete
// machine of this format's version.
bool LoadMachine(const std::string& text, SimMachine* machine);
// A device kind as the records name it: "scsi-port", "raid-port",
// "driver-adapter" or "disk".
bool ParseDeviceKind(const std::string& name, DeviceKind* kind);

}  // namespace dorvane::sim
