#include "app/adapter_command_frame.h"

#include "runtime/standard_error.h"

namespace dorvane {

Error WriteNoDeviceFound(Invocation& run) {
  run.reported_no_device = true;
  return run.out.WriteLine("no device found. please install driver.");
}

void WriteRefusalNote(Invocation& run) {
  if (!run.reported_no_device || run.refused_adapter.empty()) return;
  WriteStandardError(
      run.platform,
      {run.refused_adapter,
       " access denied: the driver's adapter can only be reached from an "
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
