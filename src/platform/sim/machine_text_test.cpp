#include "platform/sim/machine_text.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

// A machine that uses every kind of record and awkward texts.
SimMachine BusyMachine() {
  SimMachine machine = SimMachine::Default();
  machine.is_nt = false;
  machine.code_page = 65001;
  machine.shell_result = 2;
  machine.AddDisk(1 << 20, 0x110, "\\??\\C:\\my disks\\caf\xC3\xA9 100%.img");
  machine.AddDisk(0, 0x200, "\\BaseNamedObjects\\Global\\disk-1");
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

TEST(MachineTextTest, SaveLoadSaveIsStable) {
  std::string text = SaveMachine(BusyMachine());
  SimMachine loaded;
  ASSERT_TRUE(LoadMachine(text, &loaded));
  EXPECT_EQ(SaveMachine(loaded), text);
  EXPECT_FALSE(loaded.is_nt);
  EXPECT_EQ(loaded.code_page, 65001u);
  EXPECT_EQ(loaded.driver.count, 2u);
  EXPECT_EQ(loaded.launches[0].parameters,
            "install \"C:\\a b.inf\" ROOT\\PhDskMnt");
  EXPECT_TRUE(loaded.FindDrive(7)->refuse_geometry);
}

TEST(MachineTextTest, DefaultMachineRoundTrips) {
  std::string text = SaveMachine(SimMachine::Default(false));
  SimMachine loaded = BusyMachine();
  ASSERT_TRUE(LoadMachine(text, &loaded));
  EXPECT_FALSE(loaded.driver_installed);
  EXPECT_EQ(loaded.driver.count, 0u);
  EXPECT_EQ(SaveMachine(loaded), text);
}

TEST(MachineTextTest, GarbageDoesNotLoadAndChangesNothing) {
  std::string good = SaveMachine(BusyMachine());
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string cases[] = {
      "",
      "hello\n",
      "dorvane-sim-machine 2\nend\n",
      good.substr(0, good.size() - 4),
      good.substr(0, good.size() - 1),
      good + "nt 1\n",
      replace("nt 0", "nt 2"),
      replace("nt 0\n", "nt 0\nnt 1\n"),
      replace("codepage 65001", "codepage 932"),
      replace("codepage 65001\n", ""),
      replace("shell 2", "shell x"),
      replace("dos scsi0:", "dos scsi0: extra"),
      replace("device scsi-port", "device tape"),
      replace("drive 7 4", "drive 7 400"),
      replace("disk 0 ", "disk 256 "),
      replace("disk 0 1048576", "disk 0 -5"),
      replace("fail WriteFile 232", "fail WriteFile -1"),
      replace("launch 42", "launch 42 extra"),
      replace("%20", "%2"),
      replace("%20", "%zz"),
  };
  for (const std::string& text : cases) {
    SimMachine machine = SimMachine::Default();
    std::string before = SaveMachine(machine);
    EXPECT_FALSE(LoadMachine(text, &machine)) << text;
    EXPECT_EQ(SaveMachine(machine), before);
  }
}

TEST(MachineTextTest, AtMost64DisksLoad) {
  SimMachine machine = SimMachine::Default();
  for (int i = 0; i < 64; ++i) machine.AddDisk(512);
  std::string text = SaveMachine(machine);
  SimMachine loaded;
  ASSERT_TRUE(LoadMachine(text, &loaded));
  EXPECT_EQ(loaded.driver.count, 64u);
  text.insert(text.find("end\n"), "disk 99999 512 512 0 0 -\n");
  EXPECT_FALSE(LoadMachine(text, &loaded));
}

}  // namespace
}  // namespace dorvane::sim
