// Virtual disks for a test's machine: the driver makes each from a create
// request that the tool's own encoder writes.
#pragma once

#include <cstdint>
#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::testing {

// Has the machine's driver create a disk, shown then as a physical drive.
// name is UTF-8, at most 255 UTF-16 units; a size of 0 takes it from the
// backing, which here only a shared-memory name can give. Returns 0, or the
// driver's error (2 when the driver is not installed).
std::uint32_t AddDisk(sim::SimMachine& machine, std::int64_t size,
                      std::uint32_t flags = 0, const std::string& name = "");

}  // namespace dorvane::testing
