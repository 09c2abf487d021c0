// Where a machine lives between runs of the host build.
#pragma once

#include <string>

#include "simulator/sim_machine.h"

namespace dorvane::sim {

class MachineStore {
 public:
  virtual ~MachineStore() = default;
  // A store that holds nothing yet gives the default machine. False with a
  // message when what it holds is not a machine.
  virtual bool Load(SimMachine* machine, std::string* error) = 0;
  virtual bool Save(const SimMachine& machine, std::string* error) = 0;
};

}  // namespace dorvane::sim
