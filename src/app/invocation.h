// What one run of the tool hands its command bodies: the platform, standard
// output, the arguments, and the program-wide request record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/arguments.h"
#include "platform/platform.h"
#include "runtime/error.h"
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
  DiskRequest& request;
};

extern const char kNoDeviceFound[];

// The adapter command's error handler: writes a caught error as its prefix
// and message on one line. Only an error raised by that write leaves it.
Error HandleAdapterCommandError(Invocation& run, std::string_view error_prefix,
                                const Error& error);

// Runs an adapter command's body in its error handler: without an adapter
// only kNoDeviceFound is written and the body does not run.
template <typename Body>
Error RunAdapterCommand(Invocation& run, std::string_view error_prefix,
                        Body&& body) {
  Error error = run.request.AdapterPath.empty()
                    ? run.out.WriteLine(kNoDeviceFound)
                    : body();
  return HandleAdapterCommandError(run, error_prefix, error);
}

}  // namespace dorvane
