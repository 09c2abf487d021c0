// Virtual disks for a test's machine: the driver makes each from a create
// request that the tool's own encoder writes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "adapter/control_messages.h"
#include "simulator/driver/driver_model.h"
#include "simulator/sim_machine.h"
#include "simulator/windows/code_pages.h"

namespace dorvane::test {

// Has the machine's driver create a disk, shown then as a physical drive.
// name is UTF-8, at most 255 UTF-16 units; a size of 0 takes it from the
// backing, which here only a shared-memory name can give. Returns 0, or the
// driver's error (2 when the driver is not installed).
inline std::uint32_t AddDisk(sim::SimMachine& machine, std::int64_t size,
                             std::uint32_t flags = 0,
                             const std::string& name = "") {
  if (!machine.driver_installed) return DM_ERROR_FILE_NOT_FOUND;
  DeviceConfig config;
  config.DeviceNumber = AllDevices;
  config.DiskSize = size;
  config.Flags = flags;
  const std::u16string units =
      sim::DecodeAnsi(sim::kCodePageUtf8, name.data(), name.size());
  const std::size_t length = std::min(units.size(), kFileNameUnits - 1);
  std::copy_n(units.begin(), length, config.FileName);
  config.FileNameLength = static_cast<std::uint16_t>(2 * length);
  std::uint8_t request[kDeviceRequestSize];
  StartRequest(request, sizeof request, CtlCreateDevice);
  EncodeDeviceConfig(config, request);
  std::uint32_t returned = 0;
  const std::uint32_t error =
      dm_miniport_request(&machine.driver, request, sizeof request,
                          sizeof request, &returned, nullptr, nullptr);
  machine.SyncVirtualDrives();
  return error;
}

}  // namespace dorvane::test
