// `dorvane-sim`: manages the simulated machine of the host build (kUsage).
#include <charconv>
#include <string>
#include <vector>

#include "simulator/host/host_run.h"
#include "simulator/machine_text.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

using Args = std::vector<std::string>;

constexpr char kUsage[] =
    "usage: dorvane-sim reset [--no-driver] [--not-nt] [--codepage N]\n"
    "                         [--module PATH]\n"
    "       dorvane-sim fail CALL ERROR [COUNT] [--after N]\n"
    "       dorvane-sim ports [NAME TARGET KIND]...\n"
    "       dorvane-sim show\n"
    "       dorvane-sim run 'COMMAND LINE'\n";

int Usage(HostRun& run, const std::string& problem) {
  WriteText(run.err, "dorvane-sim: " + problem + "\n" + kUsage);
  return kHostFailure;
}

bool ParseUnsigned(const std::string& text, std::uint32_t* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

int Reset(const Args& args, HostRun& run) {
  bool with_driver = true, nt = true;
  std::uint32_t code_page = kCodePage1252;
  std::string module_file_name = kDefaultModuleFileName;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--no-driver") {
      with_driver = false;
    } else if (args[i] == "--not-nt") {
      nt = false;
    } else if (args[i] == "--codepage" && i + 1 < args.size()) {
      if (!ParseUnsigned(args[++i], &code_page) ||
          !IsSupportedCodePage(code_page)) {
        return Usage(run, "code page " + args[i] +
                              " is not simulated (1252, 65001 and 932 are)");
      }
    } else if (args[i] == "--module" && i + 1 < args.size() &&
               !args[i + 1].empty()) {
      module_file_name = args[++i];
    } else {
      return Usage(run, "reset: unknown option " + args[i]);
    }
  }
  SimMachine machine = SimMachine::Default(with_driver);
  machine.is_nt = nt;
  machine.code_page = code_page;
  machine.module_file_name = module_file_name;
  if (!run.Save(machine)) return kHostFailure;
  WriteText(run.out, "machine reset\n");
  return 0;
}

int Fail(const Args& args, HostRun& run) {
  std::vector<std::string> positional;
  std::uint32_t after = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--after" && i + 1 < args.size()) {
      if (!ParseUnsigned(args[++i], &after)) {
        return Usage(run, "fail: --after needs a number");
      }
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() < 2 || positional.size() > 3) {
    return Usage(run, "fail: CALL and ERROR are needed");
  }
  std::string call;
  for (const std::string& known : FailableCalls()) {
    if (SameWindowsName(known, positional[0])) call = known;
  }
  if (call.empty()) {
    return Usage(run, "fail: " + positional[0] + " is no call that can fail");
  }
  std::uint32_t error_number = 0, count = 1;
  if (!ParseUnsigned(positional[1], &error_number)) {
    return Usage(run, "fail: ERROR must be a number");
  }
  if (positional.size() == 3 &&
      (!ParseUnsigned(positional[2], &count) || count == 0)) {
    return Usage(run, "fail: COUNT must be a number above 0");
  }
  SimMachine machine;
  if (!run.Load(&machine)) return kHostFailure;
  machine.Fail(call, error_number, count, after);
  if (!run.Save(machine)) return kHostFailure;
  WriteText(run.out, call + ": after " + std::to_string(after) +
                         " more call(s), " + std::to_string(count) +
                         " fail(s) with error " + std::to_string(error_number) +
                         "\n");
  return 0;
}

// Replaces the machine's SCSI ports, its scsiN: names and the devices that
// are not disks, with the ports given.
int Ports(const Args& args, HostRun& run) {
  if (args.size() % 3 != 1) return Usage(run, "ports: NAME TARGET KIND, each");
  SimMachine machine;
  if (!run.Load(&machine)) return kHostFailure;
  SimMachine ported = machine;
  ported.dos_names.clear();
  ported.devices.clear();
  for (const DosName& name : machine.dos_names) {
    if (!SameWindowsName(name.name.substr(0, 4), "scsi")) {
      ported.dos_names.push_back(name);
    }
  }
  for (const Device& device : machine.devices) {
    if (device.kind == DeviceKind::kDisk) ported.devices.push_back(device);
  }
  for (std::size_t i = 1; i < args.size(); i += 3) {
    Device device{args[i + 1]};
    if (!ParseDeviceKind(args[i + 2], &device.kind)) {
      return Usage(run, "ports: " + args[i + 2] + " is no device kind");
    }
    ported.dos_names.push_back({args[i], args[i + 1]});
    if (ported.FindDevice(device.object_name) == nullptr) {
      ported.devices.push_back(device);
    }
  }
  if (!run.Save(ported)) return kHostFailure;
  WriteText(run.out, std::to_string(args.size() / 3) + " port(s)\n");
  return 0;
}

// The machine in the records of its state file (machine_text.cpp).
int Show(HostRun& run) {
  SimMachine machine;
  if (!run.Load(&machine)) return kHostFailure;
  WriteText(run.out, SaveMachine(machine));
  return 0;
}

int RunCommand(const Args& args, HostRun& run) {
  if (args.empty()) return Usage(run, "a command is needed");
  const std::string& command = args[0];
  if (command == "reset") return Reset(args, run);
  if (command == "fail") return Fail(args, run);
  if (command == "ports") return Ports(args, run);
  if (command == "show" && args.size() == 1) return Show(run);
  if (command == "run" && args.size() == 2) return run.RunTool(args[1]);
  return Usage(run, "cannot understand: " + command);
}

}  // namespace
}  // namespace dorvane::sim

int main(int argc, char** argv) {
  dorvane::sim::HostRun run;
  if (!run.Start("dorvane-sim")) return dorvane::sim::kHostFailure;
  return dorvane::sim::RunCommand({argv + 1, argv + argc}, run);
}
