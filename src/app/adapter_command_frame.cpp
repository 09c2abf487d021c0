#include "app/adapter_command_frame.h"

namespace dorvane {

const char kNoDeviceFound[] = "no device found. please install driver.";

Error HandleAdapterCommandError(Invocation& run, std::string_view error_prefix,
                                const Error& error) {
  if (!error) return Error();
  std::string line(error_prefix);
  line += error.message();
  return run.out.WriteLine(line);
}

}  // namespace dorvane
