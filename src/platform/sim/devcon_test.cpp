#include "platform/sim/devcon.h"

#include <gtest/gtest.h>

#include "platform/sim/machine_text.h"
#include "platform/sim/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr char kInstall[] =
    "install \"C:\\my drivers\\phdskmnt.inf\" ROOT\\PhDskMnt";
constexpr char kRemove[] = "remove ROOT\\PhDskMnt";

std::uintptr_t Launch(SimPlatform& platform, const char* file,
                      const char* parameters) {
  return platform.ShellExecuteA(0, "open", file, parameters, nullptr, kSwShow);
}

TEST(DevconTest, InstallThenRemoveTheDriver) {
  SimMachine machine = SimMachine::Default(false);
  SimPlatform platform(machine, "dorvane");
  EXPECT_EQ(Launch(platform, "devcon.exe", kInstall), kShellAccepted);
  EXPECT_TRUE(machine.driver_installed);
  EXPECT_EQ(machine.FindDosName("scsi2:")->target, "\\Device\\RaidPort2");
  machine.AddDisk(512);
  ASSERT_NE(machine.FindDrive(1), nullptr);

  EXPECT_EQ(Launch(platform, "DEVCON.EXE", kRemove), kShellAccepted);
  EXPECT_FALSE(machine.driver_installed);
  EXPECT_EQ(machine.FindDosName("scsi2:"), nullptr);
  EXPECT_EQ(machine.FindDrive(1), nullptr);
  EXPECT_EQ(machine.driver.count, 0u);

  ASSERT_EQ(machine.launches.size(), 2u);
  EXPECT_EQ(machine.launches[0].file, "devcon.exe");
  EXPECT_EQ(machine.launches[0].parameters, kInstall);
  EXPECT_EQ(machine.launches[0].outcome, "driver installed");
  EXPECT_EQ(machine.launches[1].outcome, "driver removed");
  EXPECT_EQ(platform.calls()[0].text, kInstall);
  EXPECT_EQ(platform.calls()[0].text2, "devcon.exe");
}

// The shell accepts the start; devcon's own failure shows only in the
// launch record, since nobody waits for devcon's answer.
TEST(DevconTest, DriverAlreadyInThatStateIsDevconsOwnFailure) {
  struct Case {
    bool installed;
    const char* parameters;
    const char* outcome;
  };
  const Case cases[] = {
      {true, kInstall, "failed: driver already installed"},
      {false, kRemove, "failed: no matching device"},
      {true, "install x.inf ROOT\\OtherDriver", "failed: command not handled"},
      {true, "update x.inf ROOT\\PhDskMnt", "failed: command not handled"},
  };
  for (const Case& c : cases) {
    SimMachine machine = SimMachine::Default(c.installed);
    std::string before = SaveMachine(machine);
    SimPlatform platform(machine, "dorvane");
    EXPECT_EQ(Launch(platform, "devcon.exe", c.parameters), kShellAccepted);
    ASSERT_EQ(machine.launches.size(), 1u);
    EXPECT_EQ(machine.launches[0].outcome, c.outcome);
    machine.launches.clear();
    EXPECT_EQ(SaveMachine(machine), before) << c.parameters;
  }
}

TEST(DevconTest, RefusedLaunchRunsNothing) {
  SimMachine machine = SimMachine::Default(false);
  machine.shell_result = 2;
  SimPlatform platform(machine, "dorvane");
  EXPECT_EQ(Launch(platform, "devcon.exe", kInstall), 2u);
  EXPECT_EQ(platform.GetLastError(), 2u);
  EXPECT_FALSE(machine.driver_installed);
  ASSERT_EQ(machine.launches.size(), 1u);
  EXPECT_EQ(machine.launches[0].result, 2u);
  EXPECT_EQ(machine.launches[0].outcome, "");
}

TEST(DevconTest, OtherProgramsOnlyStart) {
  SimMachine machine = SimMachine::Default(false);
  EXPECT_EQ(RunDevcon(machine, "install a.inf ROOT\\PhDskMnt"),
            "driver installed");
  SimPlatform platform(machine, "dorvane");
  EXPECT_EQ(Launch(platform, "notepad.exe", kRemove), kShellAccepted);
  EXPECT_TRUE(machine.driver_installed);
  EXPECT_EQ(machine.launches[0].outcome, "started");
}

}  // namespace
}  // namespace dorvane::sim
