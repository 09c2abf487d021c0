// The list command: the adapter's virtual disks with size, backing and the
// physical drive each is seen as.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "runtime/error.h"
#include "runtime/text_output.h"

namespace dorvane {

// Writes "ok N virtualdisk(s) found" and one TAB-separated line per disk
// (at most 16); a disk's drive is looked for on the adapter's port. Its own
// failures ("createfile failed", "DeviceIoControl
// failed:N") are lines, not errors; a failing disk's message replaces its
// line. Only a write error leaves it.
Error ListVirtualDisks(Platform& platform, TextOutput& out,
                       const std::string& adapter_path,
                       std::uint8_t adapter_port);

}  // namespace dorvane
