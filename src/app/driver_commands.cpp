#include "app/driver_commands.h"

#include "app/udriver.h"
#include "platform/unique_handle.h"
#include "runtime/format.h"

namespace dorvane {
namespace {

const char kDevconMissing[] =
    "devcon.exe not found\r\n"
    "download devcon.exe from "
    "https://learn.microsoft.com/windows-hardware/drivers/devtest/devcon\r\n"
    "or use add legacy hardware in device manager\r\n";

const char kRebootHint[] = "you may want to reboot (if running XP)";

// The steps both bodies share; launch runs only when devcon.exe is there.
template <typename Launch>
Error RunDevcon(Invocation& run, const char* ok_line, const char* failed_line,
                Launch launch, bool* launched) {
  *launched = false;
  if (!DevconPresent(run.platform)) return run.out.WriteLine(kDevconMissing);
  *launched = launch();
  if (Error error = run.out.WriteLine(*launched ? ok_line : failed_line)) {
    return error;
  }
  return run.out.WriteLine(kRebootHint);
}

// The closing line of driver install and driver remove.
Error WriteOutcome(Invocation& run, bool launched, const char* ok_line,
                   const char* failed_prefix) {
  if (launched) return run.out.WriteLine(ok_line);
  // Read at this moment, after the body's lines.
  return run.out.WriteLine(failed_prefix +
                           FormatUnsigned(run.platform.GetLastError()));
}

}  // namespace

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

Error InstallDriver(Invocation& run, const std::string& inf_path,
                    bool* launched) {
  return RunDevcon(
      run, "driver installation ok", "driver installation failed",
      [&] { return InstallDriverPackage(run.platform, inf_path); }, launched);
}

Error UninstallDriver(Invocation& run, bool* launched) {
  return RunDevcon(
      run, "driver uninstallation ok", "driver uninstallation failed",
      [&] { return RemoveDriverPackage(run.platform); }, launched);
}

Error RunDriverInstall(Invocation& run) {
  const std::string& inf_path = run.args.Get(3);
  if (inf_path.empty()) return run.out.WriteLine("please provide a driver.inf");
  bool launched = false;
  if (Error error = InstallDriver(run, inf_path, &launched)) return error;
  return WriteOutcome(run, launched, "install ok", "install failed,");
}

Error RunDriverRemove(Invocation& run) {
  bool launched = false;
  if (Error error = UninstallDriver(run, &launched)) return error;
  return WriteOutcome(run, launched, "remove ok", "remove failed,");
}

}  // namespace dorvane
