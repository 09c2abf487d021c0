// The frame every command that needs the driver's adapter runs in: without
// an adapter it writes kNoDeviceFound instead; an error the body raises is
// written behind the command's prefix.
#pragma once

#include <string_view>

#include "app/invocation.h"
#include "runtime/error.h"

namespace dorvane {

// Writes "no device found. please install driver."; when ports refused
// discovery for lack of rights, the run ends with a line on standard error
// that names them and asks for an elevated prompt (WriteRefusalNote).
Error WriteNoDeviceFound(Invocation& run);
void WriteRefusalNote(Invocation& run);

// The adapter command's error handler: writes a caught error as its prefix
// and message on one line. Only an error raised by that write leaves it.
Error HandleAdapterCommandError(Invocation& run, std::string_view error_prefix,
                                const Error& error);

template <typename Body>
Error RunAdapterCommand(Invocation& run, std::string_view error_prefix,
                        Body&& body) {
  Error error =
      run.request.AdapterPath.empty() ? WriteNoDeviceFound(run) : body();
  return HandleAdapterCommandError(run, error_prefix, error);
}

}  // namespace dorvane
