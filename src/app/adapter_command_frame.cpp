#include "app/adapter_command_frame.h"

#include <string>

#include "runtime/standard_error.h"

namespace dorvane {

Error WriteNoDeviceFound(Invocation& run) {
  run.reported_no_device = true;
  return run.out.WriteLine("no device found. please install driver.");
}

void WriteRefusalNote(Invocation& run) {
  if (!run.reported_no_device || run.discovery.refused.empty()) return;
  // Only what the tool knows: these ports refused it. Whether one of them
  // is the driver's, or a driver is installed at all, it cannot tell.
  std::string ports;
  for (const std::string& port : run.discovery.refused) {
    if (!ports.empty()) ports += ", ";
    ports += port;
  }
  WriteStandardError(run.platform,
                     {"dorvane: access denied to ", ports,
                      "; the search for the driver's adapter needs an "
                      "elevated prompt\r\n"});
}

Error HandleAdapterCommandError(Invocation& run, std::string_view error_prefix,
                                const Error& error) {
  if (!error) return Error();
  std::string line(error_prefix);
  line += error.message();
  return run.out.WriteLine(line);
}

}  // namespace dorvane
