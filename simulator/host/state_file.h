// The host build's machine state file, locked for the whole of a run so
// that concurrent runs take turns and lose nothing.
#pragma once

#include <string>

#include "simulator/host/machine_store.h"

namespace dorvane::sim {

// The state file's path: state_env ($DORVANE_SIM_STATE) when set, else
// $XDG_STATE_HOME/dorvane/machine, else $HOME/.local/state/dorvane/machine;
// empty when none of them is set. Null or empty values count as unset.
std::string StateFilePath(const char* state_env, const char* xdg_state_home,
                          const char* home);
// The same, from this process's environment.
std::string StateFilePathFromEnvironment();

class StateFile : public MachineStore {
 public:
  StateFile() = default;
  StateFile(const StateFile&) = delete;
  StateFile& operator=(const StateFile&) = delete;
  ~StateFile() override;  // releases the lock

  // Creates the file's directories and waits for the exclusive lock, held
  // until this object goes away. The lock lives on PATH.lock, because saving
  // replaces PATH itself.
  bool Lock(const std::string& path, std::string* error);

  // A missing or empty file reads as the default machine.
  bool Load(SimMachine* machine, std::string* error) override;
  // Writes PATH.tmp and renames it over PATH: a run that dies while saving
  // leaves the previous state whole.
  bool Save(const SimMachine& machine, std::string* error) override;

 private:
  std::string path_;
  int lock_fd_ = -1;
};

}  // namespace dorvane::sim
