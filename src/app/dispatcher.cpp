// The entry of one run: banner, usage, adapter discovery, and the one
// command that the arguments name.
#include <string>

#include "adapter/discovery.h"
#include "app/adapter_command_frame.h"
#include "app/arguments.h"
#include "app/disk_commands.h"
#include "app/dorvane.h"
#include "app/driver_commands.h"
#include "app/invocation.h"
#include "app/list_report.h"
#include "int13ext/int13ext.h"
#include "runtime/format.h"
#include "runtime/standard_error.h"
#include "runtime/text_output.h"
#include "runtime/uncaught_report.h"

namespace dorvane {
namespace {

const char kBanner[] = "Dorvane v0.3 by dorvane@example.org";

const char* const kUsage[] = {
    "Dorvane file add path",
    "Dorvane file new path size(MB)",
    "Dorvane file shm name",
    "Dorvane file remove id",
    "Dorvane vm add path",
    "Dorvane vm new size(MB)",
    "Dorvane vm remove id",
    "Dorvane pm add path",
    "Dorvane pm new size(MB)",
    "Dorvane pm remove id",
    "Dorvane list",
    "Dorvane removall",
    "Dorvane driver check",
    "Dorvane driver install driver.inf",
    "Dorvane driver remove",
};

// Sets AdapterPath; prints nothing.
void DiscoverAdapter(Invocation& run) {
  run.discovery = FindAdapter(run.platform);
  run.request.AdapterPath = run.discovery.found;
}

Error DriverCheck(Invocation& run) {
  DiscoverAdapter(run);
  if (run.request.AdapterPath.empty()) return WriteNoDeviceFound(run);
  return run.out.WriteLine(run.request.AdapterPath + " found");
}

Error RunDriverCommand(Invocation& run, const std::string& sub_word) {
  if (sub_word == "check") return DriverCheck(run);
  return RunDriverPackageCommand(run, sub_word);
}

Error RunCommandLine(Invocation& run) {
  if (Error error = run.out.WriteLine(kBanner)) return error;
  if (run.args.count() == 0) {
    for (const char* line : kUsage) {
      if (Error error = run.out.WriteLine(line)) return error;
    }
  }
  DiscoverAdapter(run);
  const std::string& word = run.args.Get(1);
  const std::string& sub_word = run.args.Get(2);
  if (word == "driver") return RunDriverCommand(run, sub_word);
  if (word == "list") {
    return RunAdapterCommand(run, "list:", [&run] {
      return ListVirtualDisks(run.platform, run.out, run.request.AdapterPath,
                              run.discovery.port);
    });
  }
  if (word == "removall") return RunRemoveAll(run);
  return RunDiskCommand(run, word, sub_word);
}

}  // namespace

int RunDorvane(Platform& platform) {
  InitializePlatformFlag(platform);
  TextOutput out(platform);
  Arguments args(platform, platform.GetCommandLineA());
  if (!args.split()) {
    // Split a byte at a time, a double-byte line would be read wrongly:
    // the run ends instead, before it prints anything.
    WriteStandardError(platform, {"dorvane: cannot load CharNextA from "
                                  "user32.dll, error ",
                                  FormatUnsigned(args.error()), "\r\n"});
    return 1;
  }
  Invocation run{platform, out, args, DiskRequest(), AdapterSearch(), false};
  Error error = RunCommandLine(run);
  // Pending output goes out before anything on standard error.
  Error flushed = out.Flush();
  if (!error) error = flushed;
  WriteRefusalNote(run);
  if (!error) return 0;
  WriteUncaughtReport(platform, error);
  return 1;
}

}  // namespace dorvane
