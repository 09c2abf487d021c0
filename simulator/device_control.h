// What the machine's devices answer to DeviceIoControl, once the handle and
// its access rights have been checked.
#pragma once

#include <cstdint>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

// Sends one I/O control request to a device of the machine. Returns 0 and
// sets *returned, or a Windows error number. Requests to the driver's
// adapter go to the driver model, which sizes "\??\PATH" backings from host
// files (kernel_file_names.h); the machine's physical drives follow the
// driver's disks afterwards.
std::uint32_t DeviceControl(SimMachine& machine, const Device& device,
                            std::uint32_t code, const void* in,
                            std::uint32_t in_size, void* out,
                            std::uint32_t out_size, std::uint32_t* returned);

}  // namespace dorvane::sim
