#include "app/driver_commands.h"

#include <iterator>
#include <string>

#include "app/udriver.h"
#include "platform/unique_handle.h"
#include "runtime/expected.h"
#include "runtime/format.h"

namespace dorvane {
namespace {

// Three lines and an empty fourth, written as one piece.
const char* const kDevconMissing[] = {
    "devcon.exe not found",
    ("download devcon.exe from "
     "https://learn.microsoft.com/windows-hardware/drivers/devtest/devcon"),
    "or use add legacy hardware in device manager",
    "",
};

const char kRebootHint[] = "you may want to reboot (if running XP)";

struct DriverPackageCommand {
  const char* sub_word;
  bool needs_inf;  // argument 3, the .inf file
  bool (*launch)(Platform& platform, const std::string& inf_path);
  const char* launched_line;  // the body's outcome, after the launch
  const char* refused_line;
  const char* ok_line;        // the command's last line
  const char* failed_prefix;  // ... followed by GetLastError
};

const DriverPackageCommand kDriverPackageCommands[] = {
    {"install", true, InstallDriverPackage, "driver installation ok",
     "driver installation failed", "install ok", "install failed,"},
    {"remove", false,
     [](Platform& platform, const std::string&) {
       return RemoveDriverPackage(platform);
     },
     "driver uninstallation ok", "driver uninstallation failed", "remove ok",
     "remove failed,"},
};

// True when devcon.exe in the current directory is a file whose last-write
// time can be written as a DOS date and time.
bool DevconPresent(Platform& platform) {
  FindData data;
  UniqueFindHandle find(platform, platform.FindFirstFileA("devcon.exe", &data));
  if (!find) return false;
  if ((data.dwFileAttributes & kFileAttributeDirectory) != 0) return false;
  FileTime local;
  std::uint16_t date = 0, time = 0;
  return platform.FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
         platform.FileTimeToDosDateTime(&local, &date, &time);
}

// The body: false when devcon.exe is absent, otherwise whether the shell
// started it.
Expected<bool> InstallOrRemove(Invocation& run,
                               const DriverPackageCommand& command,
                               const std::string& inf_path) {
  if (!DevconPresent(run.platform)) {
    std::string text;
    for (std::size_t i = 0; i < std::size(kDevconMissing); ++i) {
      if (i > 0) text += "\r\n";
      text += kDevconMissing[i];
    }
    if (Error error = run.out.WriteLine(text)) return error;
    return false;
  }
  const bool launched = command.launch(run.platform, inf_path);
  if (Error error = run.out.WriteLine(launched ? command.launched_line
                                               : command.refused_line)) {
    return error;
  }
  if (Error error = run.out.WriteLine(kRebootHint)) return error;
  return launched;
}

Error RunCommand(Invocation& run, const DriverPackageCommand& command) {
  const std::string& inf_path = run.args.Get(3);
  if (command.needs_inf && inf_path.empty()) {
    return run.out.WriteLine("please provide a driver.inf");
  }
  Expected<bool> launched = InstallOrRemove(run, command, inf_path);
  if (!launched.has_value()) return launched.error();
  if (*launched) return run.out.WriteLine(command.ok_line);
  // Read at this moment, after the body's lines.
  return run.out.WriteLine(command.failed_prefix +
                           FormatUnsigned(run.platform.GetLastError()));
}

}  // namespace

Error RunDriverPackageCommand(Invocation& run, std::string_view sub_word) {
  for (const DriverPackageCommand& command : kDriverPackageCommands) {
    if (sub_word == command.sub_word) return RunCommand(run, command);
  }
  return Error();
}

}  // namespace dorvane
