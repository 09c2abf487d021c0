// Creating, querying and removing one virtual disk: each opens the adapter,
// sends one request and closes the adapter on every path.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/control_messages.h"
#include "platform/platform.h"
#include "runtime/error.h"
#include "runtime/expected.h"

namespace dorvane {

// Asks the driver for a new disk backed by name (ANSI text; "\??\" is put in
// front unless it is empty or names a BaseNamedObjects section); the number
// the driver gave it. Errors: "file name too long",
// "MultiByteToWideChar failed:N", "createfile failed",
// "DeviceIoControl failed:N".
Expected<std::uint32_t> AddVirtualDisk(Platform& platform,
                                       const std::string& adapter_path,
                                       const std::string& name,
                                       std::uint32_t flags,
                                       std::int64_t disk_size);

// Fills config with the driver's description of the disk: true when the
// answer held one; false, and config all zero, when it did not. Errors
// (config all zero): "createfile failed", "failed:N".
Expected<bool> QueryVirtualDisk(Platform& platform,
                                const std::string& adapter_path,
                                std::uint32_t device_number,
                                DeviceConfig* config);

// Removes one disk, or every disk for AllDevices. Errors:
// "createfile failed", "DeviceIoControl failed:N".
Error RemoveVirtualDisk(Platform& platform, const std::string& adapter_path,
                        std::uint32_t device_number);

}  // namespace dorvane
