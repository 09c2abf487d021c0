#include <signal.h>

#include "app/dorvane.h"
#include "simulator/host/host_run.h"
#include "simulator/windows/sim_platform.h"

namespace dorvane::sim {

bool HostRun::Start(const char* program) {
  program_ = program;
  // A closed pipe must show as a failed write, as it does on Windows.
  signal(SIGPIPE, SIG_IGN);
  std::string error;
  return state_.Lock(StateFilePath(), &error) || Report(error);
}

bool HostRun::Load(SimMachine* machine) {
  std::string error;
  return state_.Load(machine, &error) || Report(error);
}

bool HostRun::Save(const SimMachine& machine) {
  std::string error;
  return state_.Save(machine, &error) || Report(error);
}

int HostRun::RunTool(const std::string& command_line) {
  SimMachine machine;
  if (!Load(&machine)) return kHostFailure;
  int exit_code = 0;
  {
    SimPlatform platform(machine, command_line);
    platform.AllowUnusedFailures();
    platform.SetStreams(&out, &err);
    exit_code = RunDorvane(platform);
  }
  return Save(machine) ? exit_code : kHostFailure;
}

bool HostRun::Report(const std::string& error) {
  WriteText(err, std::string(program_) + ": " + error + "\n");
  return false;
}

}  // namespace dorvane::sim
