#include "platform/sim/machine_description.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

TEST(MachineDescriptionTest, NamesEverythingAUserLooksFor) {
  SimMachine machine = SimMachine::Default();
  machine.AddDisk(104857600, 0x110, "\\??\\C:\\caf\xC3\xA9.img", 0x000100);
  machine.Fail("CreateFileA", 5, 2, 1);
  machine.launches.push_back(
      Launch{"devcon.exe", "remove ROOT\\PhDskMnt", 42, "driver removed"});
  std::string text = DescribeMachine(machine);
  const char* expected[] = {
      "Windows NT 5.1, ANSI code page 1252",
      "driver: installed, adapter \\\\.\\scsi2:",
      "  scsi1: -> \\Device\\RaidPort1\n",
      "  \\Device\\RaidPort2: the driver's adapter\n",
      "  PhysicalDrive1: port 2, address 000100",
      "virtual disk 000100",
      "  000100: 104857600 bytes, flags 0x00000110, name "
      "\"\\??\\C:\\caf\xC3\xA9.img\"",
      "  CreateFileA: after 1 more call(s), 2 fail(s) with error 5",
      "  devcon.exe remove ROOT\\PhDskMnt -> 42 (driver removed)",
  };
  for (const char* line : expected) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

TEST(MachineDescriptionTest, MachineWithoutTheDriver) {
  SimMachine machine = SimMachine::Default(false);
  machine.is_nt = false;
  std::string text = DescribeMachine(machine);
  EXPECT_NE(text.find("Windows 98 (not NT)"), std::string::npos) << text;
  EXPECT_NE(text.find("driver: not installed\n"), std::string::npos) << text;
  EXPECT_NE(text.find("virtual disks: 0\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace dorvane::sim
