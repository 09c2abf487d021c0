// The host build's machine state file, locked for the whole of a run so
// that concurrent runs take turns and lose nothing.
#pragma once

#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

// The state file's path: $DORVANE_SIM_STATE when set, else
// $XDG_STATE_HOME/dorvane/machine, else $HOME/.local/state/dorvane/machine;
// empty when none of them is set. Empty values count as unset.
std::string StateFilePath();

class StateFile {
 public:
  StateFile() = default;
  StateFile(const StateFile&) = delete;
  StateFile& operator=(const StateFile&) = delete;
  ~StateFile();  // releases the lock

  // Creates the file's directories and waits for the exclusive lock, held
  // until this object goes away. The lock lives on PATH.lock, because saving
  // replaces PATH itself.
  bool Lock(const std::string& path, std::string* error);

  // A missing or empty file reads as the default machine. False with a
  // message when the file holds no machine.
  bool Load(SimMachine* machine, std::string* error);
  // Writes PATH.tmp and renames it over PATH: a run that dies while saving
  // leaves the previous state whole.
  bool Save(const SimMachine& machine, std::string* error);

 private:
  std::string path_;
  int lock_fd_ = -1;
};

}  // namespace dorvane::sim
