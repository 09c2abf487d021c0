#include "simulator/host/state_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "simulator/machine_text.h"
#include "simulator/test/temp_directory.h"

namespace dorvane::sim {
namespace {

class StateFileTest : public ::testing::Test {
 protected:
  dorvane::testing::TempDirectory directory_;
  std::string path_ = directory_.path() + "/deeper/still/machine";
  std::string error_;
};

TEST_F(StateFileTest, NoFileOrAnEmptyOneIsTheDefaultMachine) {
  for (bool empty : {false, true}) {
    if (empty) directory_.WriteFile("deeper/still/machine", "");
    StateFile state;
    SimMachine machine = SimMachine::Default(false);
    ASSERT_TRUE(state.Lock(path_, &error_) && state.Load(&machine, &error_));
    EXPECT_EQ(SaveMachine(machine), SaveMachine(SimMachine::Default()));
  }
}

// Each run loads, adds one launch and saves; runs in several processes at
// once must keep every launch.
TEST_F(StateFileTest, ConcurrentRunsLoseNothing) {
  constexpr int kProcesses = 4, kRuns = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int run = 0; run < kRuns; ++run) {
        StateFile state;
        SimMachine machine;
        if (!state.Lock(path_, &error_) || !state.Load(&machine, &error_)) {
          _exit(1);
        }
        machine.launches.push_back(Launch{"run", std::to_string(run), 42, ""});
        if (!state.Save(machine, &error_)) _exit(1);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  StateFile state;
  SimMachine machine;
  ASSERT_TRUE(state.Lock(path_, &error_) && state.Load(&machine, &error_));
  EXPECT_EQ(machine.launches.size(),
            static_cast<std::size_t>(kProcesses * kRuns));
}

}  // namespace
}  // namespace dorvane::sim
