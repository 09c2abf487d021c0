#include "platform/sim/sim_cli.h"

#include <gtest/gtest.h>

#include "platform/sim/machine_text.h"

namespace dorvane::sim {
namespace {

// Keeps the machine's text in memory, as the state file keeps it on disk.
class TextStore : public MachineStore {
 public:
  bool Load(SimMachine* machine, std::string* error) override {
    if (text.empty()) {
      *machine = SimMachine::Default();
      return true;
    }
    if (LoadMachine(text, machine)) return true;
    *error = "garbage";
    return false;
  }
  bool Save(const SimMachine& machine, std::string* /*error*/) override {
    text = SaveMachine(machine);
    return true;
  }
  SimMachine Machine() {
    SimMachine machine;
    std::string error;
    EXPECT_TRUE(Load(&machine, &error));
    return machine;
  }
  std::string text;
};

class SimCliTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    return RunSimCommand(args, store_, tool_, out_, err_);
  }

  TextStore store_;
  MemoryStream out_, err_;
  std::string seen_command_line_;
  // A stand-in for the tool: echoes its command line and removes the
  // driver, so that its effect on the machine is visible.
  ToolEntry tool_ = [this](Platform& platform) {
    seen_command_line_ = platform.GetCommandLineA();
    std::uint32_t written = 0;
    platform.WriteFile(platform.GetStdHandle(kStdOutputHandle), "ran\r\n", 5,
                       &written);
    platform.ShellExecuteA(0, "open", "devcon.exe", "remove ROOT\\PhDskMnt",
                           nullptr, kSwShow);
    return 1;
  };
};

TEST_F(SimCliTest, ResetWithOptions) {
  struct Case {
    std::vector<std::string> args;
    bool driver, nt;
    std::uint32_t code_page;
  };
  const Case cases[] = {
      {{"reset"}, true, true, 1252},
      {{"reset", "--no-driver"}, false, true, 1252},
      {{"reset", "--not-nt", "--codepage", "65001"}, true, false, 65001},
  };
  for (const Case& c : cases) {
    store_.text = "garbage that reset does not read";
    EXPECT_EQ(Run(c.args), 0);
    SimMachine machine = store_.Machine();
    EXPECT_EQ(machine.driver_installed, c.driver);
    EXPECT_EQ(machine.FindDosName("scsi2:") != nullptr, c.driver);
    EXPECT_EQ(machine.is_nt, c.nt);
    EXPECT_EQ(machine.code_page, c.code_page);
  }
  EXPECT_EQ(out_.text(), "machine reset\nmachine reset\nmachine reset\n");
}

TEST_F(SimCliTest, FailAddsARule) {
  EXPECT_EQ(Run({"fail", "createfilea", "5", "3", "--after", "2"}), 0);
  EXPECT_EQ(Run({"fail", "--after", "1", "WriteFile", "232"}), 0);
  SimMachine machine = store_.Machine();
  ASSERT_EQ(machine.failures.size(), 2u);
  const FailRule& first = machine.failures[0];
  EXPECT_EQ(first.call, "CreateFileA");
  EXPECT_EQ(first.error, 5u);
  EXPECT_EQ(first.count, 3u);
  EXPECT_EQ(first.after, 2u);
  EXPECT_EQ(machine.failures[1].count, 1u);
  EXPECT_EQ(machine.failures[1].after, 1u);
  EXPECT_NE(out_.text().find("CreateFileA: after 2 more call(s), 3 fail(s)"),
            std::string::npos);
}

TEST_F(SimCliTest, UsageErrors) {
  const std::vector<std::string> cases[] = {
      {},
      {"frobnicate"},
      {"reset", "--codepage", "932"},
      {"reset", "--codepage"},
      {"reset", "--fast"},
      {"fail", "CreateFileA"},
      {"fail", "GetLastError", "5"},
      {"fail", "CreateFileA", "x"},
      {"fail", "CreateFileA", "5", "0"},
      {"fail", "CreateFileA", "5", "1", "2"},
      {"fail", "CreateFileA", "5", "--after", "many"},
      {"show", "more"},
      {"run"},
      {"run", "a", "b"},
  };
  for (const auto& args : cases) {
    MemoryStream err;
    EXPECT_EQ(RunSimCommand(args, store_, tool_, out_, err), kHostFailure);
    EXPECT_NE(err.text().find("usage: dorvane-sim"), std::string::npos);
  }
  EXPECT_TRUE(store_.text.empty());
  EXPECT_TRUE(out_.text().empty());
}

TEST_F(SimCliTest, ShowDescribesTheStoredMachine) {
  Run({"reset", "--no-driver"});
  EXPECT_EQ(Run({"show"}), 0);
  EXPECT_NE(out_.text().find("driver: not installed"), std::string::npos);
}

TEST_F(SimCliTest, RunGivesTheToolExactlyTheCommandLineAndSaves) {
  EXPECT_EQ(Run({"run", "dorvane  file add \"a b.img\""}), 1);
  EXPECT_EQ(seen_command_line_, "dorvane  file add \"a b.img\"");
  EXPECT_EQ(out_.text(), "ran\r\n");
  SimMachine machine = store_.Machine();
  EXPECT_FALSE(machine.driver_installed);
  ASSERT_EQ(machine.launches.size(), 1u);
}

TEST_F(SimCliTest, UnreadableMachineStopsEverythingButReset) {
  store_.text = "garbage";
  EXPECT_EQ(Run({"show"}), kHostFailure);
  EXPECT_EQ(Run({"fail", "WriteFile", "5"}), kHostFailure);
  EXPECT_EQ(Run({"run", "dorvane"}), kHostFailure);
  EXPECT_TRUE(seen_command_line_.empty());
  EXPECT_EQ(store_.text, "garbage");
  EXPECT_EQ(err_.text(),
            "dorvane-sim: garbage\ndorvane-sim: garbage\ndorvane: garbage\n");
}

}  // namespace
}  // namespace dorvane::sim
