#include "simulator/machine_text.h"

#include <gtest/gtest.h>

#include "tests/kit/test_disks.h"

namespace dorvane::sim {
namespace {

// A machine that uses every kind of record and awkward texts.
SimMachine BusyMachine() {
  SimMachine machine = SimMachine::Default();
  machine.is_nt = false;
  machine.code_page = 65001;
  machine.shell_result = 2;
  machine.module_file_name = "C:\\my tools\\\x95\x5C%.exe";
  test::AddDisk(machine, 1 << 20, 0x110,
                "\\??\\C:\\my disks\\caf\xC3\xA9 100%.img");
  test::AddDisk(machine, 0, 0x200, "\\BaseNamedObjects\\Global\\disk-1");
  PhysicalDrive& drive = machine.AddDrive(7, 4, 1, 2, 3);
  drive.refuse_geometry = true;
  drive.media_type = 11;
  machine.Fail("WriteFile", 232, 3, 1);
  machine.launches.push_back(Launch{"devcon.exe",
                                    "install \"C:\\a b.inf\" ROOT\\PhDskMnt",
                                    42, "driver installed"});
  machine.launches.push_back(Launch{"x", "", 2, ""});
  return machine;
}

// Loading replaces everything: each machine loads over the other.
TEST(MachineTextTest, SaveLoadSaveIsStable) {
  for (bool busy : {true, false}) {
    std::string text =
        SaveMachine(busy ? BusyMachine() : SimMachine::Default(false));
    SimMachine loaded = busy ? SimMachine::Default() : BusyMachine();
    ASSERT_TRUE(LoadMachine(text, &loaded));
    EXPECT_EQ(SaveMachine(loaded), text);
    EXPECT_EQ(loaded.driver.count, busy ? 2u : 0u);
    EXPECT_EQ(loaded.is_nt, !busy);
  }
}

}  // namespace
}  // namespace dorvane::sim
