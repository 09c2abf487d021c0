#include "simulator/host/sim_cli.h"

#include <charconv>

#include "simulator/machine_text.h"
#include "simulator/windows/code_pages.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

constexpr char kUsage[] =
    "usage: dorvane-sim reset [--no-driver] [--not-nt] [--codepage N]\n"
    "       dorvane-sim fail CALL ERROR [COUNT] [--after N]\n"
    "       dorvane-sim ports [NAME TARGET KIND]...\n"
    "       dorvane-sim show\n"
    "       dorvane-sim run 'COMMAND LINE'\n";

int Usage(SimStream& err, const std::string& problem) {
  WriteText(err, "dorvane-sim: " + problem + "\n" + kUsage);
  return kHostFailure;
}

int HostError(SimStream& err, const char* program, const std::string& error) {
  WriteText(err, std::string(program) + ": " + error + "\n");
  return kHostFailure;
}

bool ParseUnsigned(const std::string& text, std::uint32_t* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

int Reset(const std::vector<std::string>& args, MachineStore& store,
          SimStream& out, SimStream& err) {
  bool with_driver = true, nt = true;
  std::uint32_t code_page = kCodePage1252;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--no-driver") {
      with_driver = false;
    } else if (args[i] == "--not-nt") {
      nt = false;
    } else if (args[i] == "--codepage" && i + 1 < args.size()) {
      if (!ParseUnsigned(args[++i], &code_page) ||
          !IsSupportedCodePage(code_page)) {
        return Usage(err, "code page " + args[i] +
                              " is not simulated (1252 and 65001 are)");
      }
    } else {
      return Usage(err, "reset: unknown option " + args[i]);
    }
  }
  SimMachine machine = SimMachine::Default(with_driver);
  machine.is_nt = nt;
  machine.code_page = code_page;
  std::string error;
  if (!store.Save(machine, &error)) return HostError(err, "dorvane-sim", error);
  WriteText(out, "machine reset\n");
  return 0;
}

int Fail(const std::vector<std::string>& args, MachineStore& store,
         SimStream& out, SimStream& err) {
  std::vector<std::string> positional;
  std::uint32_t after = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--after" && i + 1 < args.size()) {
      if (!ParseUnsigned(args[++i], &after)) {
        return Usage(err, "fail: --after needs a number");
      }
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() < 2 || positional.size() > 3) {
    return Usage(err, "fail: CALL and ERROR are needed");
  }
  std::string call;
  for (const std::string& known : FailableCalls()) {
    if (SameWindowsName(known, positional[0])) call = known;
  }
  if (call.empty()) {
    return Usage(err, "fail: " + positional[0] + " is no call that can fail");
  }
  std::uint32_t error_number = 0, count = 1;
  if (!ParseUnsigned(positional[1], &error_number)) {
    return Usage(err, "fail: ERROR must be a number");
  }
  if (positional.size() == 3 &&
      (!ParseUnsigned(positional[2], &count) || count == 0)) {
    return Usage(err, "fail: COUNT must be a number above 0");
  }
  SimMachine machine;
  std::string error;
  if (!store.Load(&machine, &error)) {
    return HostError(err, "dorvane-sim", error);
  }
  machine.Fail(call, error_number, count, after);
  if (!store.Save(machine, &error)) return HostError(err, "dorvane-sim", error);
  WriteText(out, call + ": after " + std::to_string(after) + " more call(s), " +
                     std::to_string(count) + " fail(s) with error " +
                     std::to_string(error_number) + "\n");
  return 0;
}

// Replaces the machine's SCSI ports, its scsiN: names and the devices that
// are not disks, with the ports given.
int Ports(const std::vector<std::string>& args, MachineStore& store,
          SimStream& out, SimStream& err) {
  if (args.size() % 3 != 1) return Usage(err, "ports: NAME TARGET KIND, each");
  SimMachine machine;
  std::string error;
  if (!store.Load(&machine, &error)) {
    return HostError(err, "dorvane-sim", error);
  }
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
      return Usage(err, "ports: " + args[i + 2] + " is no device kind");
    }
    ported.dos_names.push_back({args[i], args[i + 1]});
    if (ported.FindDevice(device.object_name) == nullptr) {
      ported.devices.push_back(device);
    }
  }
  if (!store.Save(ported, &error)) return HostError(err, "dorvane-sim", error);
  WriteText(out, std::to_string(args.size() / 3) + " port(s)\n");
  return 0;
}

// The machine in the records of its state file (machine_text.cpp).
int Show(MachineStore& store, SimStream& out, SimStream& err) {
  SimMachine machine;
  std::string error;
  if (!store.Load(&machine, &error)) {
    return HostError(err, "dorvane-sim", error);
  }
  WriteText(out, SaveMachine(machine));
  return 0;
}

}  // namespace

int RunToolOnStore(MachineStore& store, const std::string& command_line,
                   const ToolEntry& tool, SimStream& out, SimStream& err) {
  SimMachine machine;
  std::string error;
  if (!store.Load(&machine, &error)) return HostError(err, "dorvane", error);
  int exit_code = 0;
  {
    SimPlatform platform(machine, command_line);
    platform.AllowUnusedFailures();
    platform.SetStreams(&out, &err);
    exit_code = tool(platform);
  }
  if (!store.Save(machine, &error)) return HostError(err, "dorvane", error);
  return exit_code;
}

int RunSimCommand(const std::vector<std::string>& args, MachineStore& store,
                  const ToolEntry& tool, SimStream& out, SimStream& err) {
  if (args.empty()) return Usage(err, "a command is needed");
  const std::string& command = args[0];
  if (command == "reset") return Reset(args, store, out, err);
  if (command == "fail") return Fail(args, store, out, err);
  if (command == "ports") return Ports(args, store, out, err);
  if (command == "show" && args.size() == 1) return Show(store, out, err);
  if (command == "run" && args.size() == 2) {
    return RunToolOnStore(store, args[1], tool, out, err);
  }
  return Usage(err, "cannot understand: " + command);
}

}  // namespace dorvane::sim
