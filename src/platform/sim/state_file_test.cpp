#include "platform/sim/state_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/machine_text.h"

namespace dorvane::sim {
namespace {

TEST(StateFilePathTest, EnvironmentDecides) {
  struct Case {
    const char *state, *xdg, *home;
    std::string path;
  };
  const Case cases[] = {
      {"/s/m", "/x", "/h", "/s/m"},
      {nullptr, "/x", "/h", "/x/dorvane/machine"},
      {"", "/x", "/h", "/x/dorvane/machine"},
      {nullptr, nullptr, "/h", "/h/.local/state/dorvane/machine"},
      {nullptr, "", "/h", "/h/.local/state/dorvane/machine"},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StateFilePath(c.state, c.xdg, c.home), c.path);
  }
}

class StateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(directory_), nullptr);
    path_ = std::string(directory_) + "/deeper/still/machine";
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  char directory_[64] = "/tmp/dorvane-state-XXXXXX";
  std::string path_;
};

TEST_F(StateFileTest, MissingOrEmptyFileIsTheDefaultMachine) {
  StateFile state;
  std::string error;
  ASSERT_TRUE(state.Lock(path_, &error)) << error;
  std::string fresh = SaveMachine(SimMachine::Default());
  SimMachine machine = SimMachine::Default(false);
  ASSERT_TRUE(state.Load(&machine, &error));
  EXPECT_EQ(SaveMachine(machine), fresh);
  std::ofstream(path_).flush();
  machine = SimMachine::Default(false);
  ASSERT_TRUE(state.Load(&machine, &error));
  EXPECT_EQ(SaveMachine(machine), fresh);
}

TEST_F(StateFileTest, SavedMachineLoadsAgain) {
  SimMachine machine = SimMachine::Default(false);
  machine.Fail("WriteFile", 112, 2);
  std::string error;
  {
    StateFile state;
    ASSERT_TRUE(state.Lock(path_, &error));
    ASSERT_TRUE(state.Save(machine, &error)) << error;
  }
  StateFile state;
  ASSERT_TRUE(state.Lock(path_, &error));
  SimMachine loaded;
  ASSERT_TRUE(state.Load(&loaded, &error));
  EXPECT_EQ(SaveMachine(loaded), SaveMachine(machine));
}

TEST_F(StateFileTest, GarbageIsReportedNotReplaced) {
  StateFile state;
  std::string error;
  ASSERT_TRUE(state.Lock(path_, &error));
  std::ofstream(path_) << "not a machine\n";
  SimMachine machine;
  EXPECT_FALSE(state.Load(&machine, &error));
  EXPECT_NE(error.find(path_), std::string::npos) << error;
  EXPECT_NE(error.find("dorvane-sim reset"), std::string::npos) << error;
}

TEST_F(StateFileTest, UnlockedStateIsNotTouched) {
  StateFile state;
  std::string error;
  SimMachine machine;
  EXPECT_FALSE(state.Load(&machine, &error));
  EXPECT_FALSE(state.Save(machine, &error));
  EXPECT_FALSE(state.Lock("", &error));
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
      int status = 0;
      for (int run = 0; run < kRuns && status == 0; ++run) {
        StateFile state;
        std::string error;
        SimMachine machine;
        if (!state.Lock(path_, &error) || !state.Load(&machine, &error)) {
          status = 1;
          break;
        }
        machine.launches.push_back(Launch{
            "run", std::to_string(p) + "-" + std::to_string(run), 42, ""});
        if (!state.Save(machine, &error)) status = 1;
      }
      _exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  StateFile state;
  std::string error;
  ASSERT_TRUE(state.Lock(path_, &error));
  SimMachine machine;
  ASSERT_TRUE(state.Load(&machine, &error)) << error;
  EXPECT_EQ(machine.launches.size(),
            static_cast<std::size_t>(kProcesses * kRuns));
}

}  // namespace
}  // namespace dorvane::sim
