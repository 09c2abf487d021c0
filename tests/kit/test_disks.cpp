#include "tests/kit/test_disks.h"

#include <algorithm>

#include "adapter/control_messages.h"
#include "simulator/driver/driver_model.h"
#include "simulator/windows/code_pages.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::testing {

std::uint32_t AddDisk(sim::SimMachine& machine, std::int64_t size,
                      std::uint32_t flags, const std::string& name) {
  if (!machine.driver_installed) return sim::kErrorFileNotFound;
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

}  // namespace dorvane::testing
