// What the machine's devices answer to DeviceIoControl, once the handle,
// the buffers and the access rights have been checked.
#pragma once

#include <cstdint>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

// Sends one I/O control request to a device of the machine: a miniport
// request in buffer, answered in place, or a drive query answered into
// buffer. Returns 0 and sets *returned, or a Windows error number. Requests
// to the driver's adapter go to the driver model, which sizes "\??\PATH"
// backings from host files (named as device_control.cpp says); the
// machine's physical drives follow the driver's disks afterwards.
std::uint32_t DeviceControl(SimMachine& machine, const Device& device,
                            std::uint32_t code, std::uint8_t* buffer,
                            std::uint32_t size, std::uint32_t* returned);

}  // namespace dorvane::sim
