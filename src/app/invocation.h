// What one run of the tool hands its command bodies: the platform, standard
// output, the arguments, and the program-wide request record.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/discovery.h"
#include "app/arguments.h"
#include "platform/platform.h"
#include "runtime/text_output.h"

namespace dorvane {

// The current command, filled by the command that runs.
struct DiskRequest {
  std::uint32_t DeviceNumber = 0;
  std::string AdapterPath;  // "\\.\scsiN:", or empty when none was found
  std::string FileName;
  std::int64_t DiskSize = 0;
};

struct Invocation {
  Platform& platform;
  TextOutput& out;
  const Arguments& args;
  DiskRequest request;
  // The last discovery, whole: AdapterPath comes from it, the list's port
  // and the refusal note too.
  AdapterSearch discovery;
  bool reported_no_device = false;  // the run told the user so
};

}  // namespace dorvane
