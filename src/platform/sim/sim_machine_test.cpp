#include "platform/sim/sim_machine.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

TEST(SimMachineTest, DefaultMachine) {
  SimMachine machine = SimMachine::Default();
  EXPECT_TRUE(machine.is_nt);
  EXPECT_EQ(machine.code_page, 1252u);
  ASSERT_NE(machine.FindDosName("SCSI2:"), nullptr);
  EXPECT_EQ(machine.FindDosName("scsi0:")->target, "\\Device\\Ide\\IdePort0");
  EXPECT_EQ(machine.FindDevice("\\Device\\RaidPort1")->kind,
            DeviceKind::kRaidPort);
  EXPECT_EQ(machine.FindDevice("\\Device\\RaidPort2")->kind,
            DeviceKind::kDriverAdapter);
  EXPECT_EQ(machine.FindDosName("PhysicalDrive0")->target,
            "\\Device\\Harddisk0\\DR0");
  EXPECT_EQ(machine.AdapterPort(), 2);
  EXPECT_TRUE(machine.DiskNumbers().empty());

  SimMachine without = SimMachine::Default(false);
  EXPECT_FALSE(without.driver_installed);
  EXPECT_EQ(without.FindDosName("scsi2:"), nullptr);
  EXPECT_EQ(without.AdapterPort(), -1);
}

// Which of `calls` calls of CreateFileA fail, and with what error (0: ok).
std::vector<std::uint32_t> Outcomes(SimMachine& machine, int calls) {
  std::vector<std::uint32_t> outcomes;
  for (int i = 0; i < calls; ++i) {
    std::uint32_t error = 0;
    outcomes.push_back(machine.ConsumeFailure("CreateFileA", &error) ? error
                                                                     : 0);
  }
  return outcomes;
}

TEST(SimMachineTest, FailureRulesCountAfterThenFail) {
  struct Case {
    std::uint32_t count, after;
    std::vector<std::uint32_t> outcomes;
  };
  const Case cases[] = {
      {1, 0, {5, 0, 0, 0}},
      {2, 0, {5, 5, 0, 0}},
      {1, 2, {0, 0, 5, 0}},
      {2, 1, {0, 5, 5, 0}},
  };
  for (const Case& c : cases) {
    SimMachine machine = SimMachine::Default();
    machine.Fail("CreateFileA", 5, c.count, c.after);
    EXPECT_EQ(Outcomes(machine, 4), c.outcomes) << c.count << " " << c.after;
    EXPECT_TRUE(machine.failures.empty());
  }
}

TEST(SimMachineTest, FailureRulesOnlyCountTheirOwnCall) {
  SimMachine machine = SimMachine::Default();
  machine.Fail("DeviceIoControl", 1);
  machine.Fail("CreateFileA", 2, 1, 1);
  machine.Fail("CreateFileA", 3);
  EXPECT_EQ(Outcomes(machine, 3), (std::vector<std::uint32_t>{3, 2, 0}));
  ASSERT_EQ(machine.failures.size(), 1u);
  EXPECT_EQ(machine.failures[0].call, "DeviceIoControl");
}

TEST(SimMachineTest, VirtualDisksShowAsDrivesAtTheAdaptersPort) {
  SimMachine machine = SimMachine::Default();
  std::uint32_t number = 0;
  ASSERT_EQ(machine.AddDisk(1 << 20, 0, "", 0x030201, &number), 0u);
  EXPECT_EQ(number, 0x030201u);
  const PhysicalDrive* drive = machine.FindDrive(1);
  ASSERT_NE(drive, nullptr);
  EXPECT_TRUE(drive->virtual_disk);
  EXPECT_EQ(drive->port, 2);
  EXPECT_EQ(drive->path_id, 1);
  EXPECT_EQ(drive->target_id, 2);
  EXPECT_EQ(drive->lun, 3);
  EXPECT_EQ(machine.FindDosName("PhysicalDrive1")->target,
            "\\Device\\Harddisk1\\DR0");
  EXPECT_EQ(machine.FindDevice("\\Device\\Harddisk1\\DR0")->kind,
            DeviceKind::kDisk);
}

TEST(SimMachineTest, DrivesTakeTheLowestFreeNumberAndKeepIt) {
  SimMachine machine = SimMachine::Default();
  machine.AddDrive(2, 0, 0, 1, 0);  // a gap at 1
  std::uint32_t first = 0, second = 0, third = 0;
  machine.AddDisk(512, 0, "", DM_ALL_DEVICES, &first);
  machine.AddDisk(512, 0, "", DM_ALL_DEVICES, &second);
  machine.AddDisk(512, 0, "", DM_ALL_DEVICES, &third);
  auto drive_of = [&](std::uint32_t number) -> int {
    for (const PhysicalDrive& d : machine.drives) {
      if (d.virtual_disk && d.device_number == number) {
        return static_cast<int>(d.drive_number);
      }
    }
    return -1;
  };
  EXPECT_EQ(drive_of(first), 1);
  EXPECT_EQ(drive_of(second), 3);
  EXPECT_EQ(drive_of(third), 4);

  dm_model& driver = machine.driver;
  driver.disks[0] = driver.disks[1];  // the first disk goes away...
  driver.disks[1] = driver.disks[2];
  driver.count = 2;
  machine.SyncVirtualDrives();
  EXPECT_EQ(drive_of(first), -1);
  EXPECT_EQ(machine.FindDosName("PhysicalDrive1"), nullptr);
  EXPECT_EQ(drive_of(second), 3);  // ...the others stay where they were
  std::uint32_t fourth = 0;
  machine.AddDisk(512, 0, "", DM_ALL_DEVICES, &fourth);
  EXPECT_EQ(drive_of(fourth), 1);
  EXPECT_FALSE(machine.FindDrive(2)->virtual_disk);
}

TEST(SimMachineTest, DriverInstallAndRemove) {
  SimMachine machine = SimMachine::Default(false);
  EXPECT_EQ(machine.AddDisk(512), 2u);
  EXPECT_FALSE(machine.RemoveDriver());
  ASSERT_TRUE(machine.InstallDriver());
  EXPECT_FALSE(machine.InstallDriver());
  EXPECT_EQ(machine.FindDosName("scsi2:")->target, "\\Device\\RaidPort2");
  EXPECT_EQ(machine.AdapterPort(), 2);

  ASSERT_EQ(machine.AddDisk(512), 0u);
  EXPECT_EQ(machine.drives.size(), 2u);
  ASSERT_TRUE(machine.RemoveDriver());
  EXPECT_EQ(machine.driver.count, 0u);
  EXPECT_EQ(machine.drives.size(), 1u);
  EXPECT_EQ(machine.FindDosName("scsi2:"), nullptr);
  EXPECT_EQ(machine.FindDevice("\\Device\\RaidPort2"), nullptr);
}

TEST(SimMachineTest, InstallTakesTheLowestUndefinedScsiName) {
  SimMachine machine = SimMachine::Default(false);
  machine.DefineDosName("scsi2:", "\\Device\\ScsiPort2");
  machine.RemoveDosName("scsi1:");
  ASSERT_TRUE(machine.InstallDriver());
  EXPECT_EQ(machine.FindDosName("scsi1:")->target, "\\Device\\RaidPort1");
  EXPECT_EQ(machine.FindDevice("\\Device\\RaidPort1")->kind,
            DeviceKind::kDriverAdapter);
  EXPECT_EQ(machine.AdapterPort(), 1);
}

}  // namespace
}  // namespace dorvane::sim
