// What both host programs run in: the host's standard output and error as
// the simulated process's, no signal for a closed pipe, and the machine's
// state file, locked for the whole run.
#pragma once

#include <string>

#include "simulator/host/fd_stream.h"
#include "simulator/host/state_file.h"
#include "simulator/sim_machine.h"

namespace dorvane::sim {

// Exit code of the host programs when the machine itself is in the way (it
// cannot be loaded or saved) or `dorvane-sim` is called wrongly.
constexpr int kHostFailure = 2;

class HostRun {
 public:
  // Locks the state file; false, with a line naming program on standard
  // error, when it cannot.
  bool Start(const char* program);

  // The machine in the state file, and the machine saved back; false, with
  // a line on standard error, when that cannot be done.
  bool Load(SimMachine* machine);
  bool Save(const SimMachine& machine);

  // Runs the tool once with exactly this command line on the stored machine
  // and saves the machine whatever the tool's outcome; the tool's exit code.
  int RunTool(const std::string& command_line);

  FdStream out{1}, err{2};

 private:
  bool Report(const std::string& error);

  const char* program_ = "";
  StateFile state_;
};

}  // namespace dorvane::sim
