// What one run of the tool hands its command bodies: the platform, standard
// output, the arguments, and the program-wide request record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/arguments.h"
#include "platform/platform.h"
#include "runtime/text_output.h"

namespace dorvane {

// The current command, filled by the command that runs.
struct DiskRequest {
  std::uint32_t DeviceNumber = 0;
  std::string AdapterPath;       // "\\.\scsiN:", or empty when none was found
  std::uint8_t AdapterPort = 0;  // N of AdapterPath
  std::string FileName;
  std::int64_t DiskSize = 0;
};

struct Invocation {
  Platform& platform;
  TextOutput& out;
  const Arguments& args;
  DiskRequest& request;
  // The last discovery's candidates that were refused for lack of rights,
  // and whether the run told the user it found no adapter.
  std::vector<std::string> refused_adapters;
  bool reported_no_device = false;
};

}  // namespace dorvane
