#include "int13ext/physical_drive_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

class PhysicalDriveLookupTest : public test::MachineTest {
 protected:
  // The drive found for port and address, or "-" with the path untouched.
  std::string Find(std::uint8_t port, const char* address) {
    InitializePlatformFlag(platform_);
    DrivePath path = {"-"};
    bool found = FindPhysicalDrive(platform_, port, address, &path);
    EXPECT_EQ(found, std::string(path.text) != "-");
    return path.text;
  }
};

TEST_F(PhysicalDriveLookupTest, MatchesPortAndAddress) {
  machine_.AddDrive(1, 3, 0, 1, 0);
  machine_.AddDrive(10, 3, 0, 10, 0);
  machine_.AddDrive(11, 3, 0, 10, 0);  // same address: the lower drive wins
  machine_.AddDrive(99, 4, 0, 0, 9);
  machine_.AddDrive(100, 3, 0x12, 0x34, 0x56);
  machine_.AddDrive(199, 4, 0, 0, 0x19);
  machine_.AddDrive(255, 7, 0, 0, 1);
  EXPECT_EQ(Find(3, "000100"), "\\\\.\\PhysicalDrive1");
  EXPECT_EQ(Find(2, "000100"), "-");
  EXPECT_EQ(Find(3, "0000100"), "-");
  EXPECT_EQ(Find(3, "000A00"), "\\\\.\\PhysicalDrive10") << "over a gap";
  EXPECT_EQ(Find(3, "000a00"), "-");
  EXPECT_EQ(Find(3, "563412"), "\\\\.\\PhysicalDrive100");
  EXPECT_EQ(Find(7, "010000"), "\\\\.\\PhysicalDrive255");
  EXPECT_EQ(Find(4, "090000"), "\\\\.\\PhysicalDrive99");
  EXPECT_EQ(Find(4, "190000"), "\\\\.\\PhysicalDrive199");
  EXPECT_EQ(Find(0, "000000"), "\\\\.\\PhysicalDrive0");
}

// A drive that refuses to be opened for reading and writing (a process
// without administrator rights) still answers the probe.
TEST_F(PhysicalDriveLookupTest, SkipsDrivesThatRefuse) {
  machine_.AddDrive(1, 3, 0, 1, 0).refuse_open = true;
  machine_.AddDrive(2, 3, 0, 1, 0).refuse_address = true;
  machine_.AddDrive(3, 3, 0, 1, 0).refuse_geometry = true;
  machine_.AddDrive(4, 3, 0, 1, 0);
  EXPECT_EQ(Find(3, "000100"), "\\\\.\\PhysicalDrive4");
}

TEST_F(PhysicalDriveLookupTest, ProbesAllDriveNumbersWhenNothingMatches) {
  machine_.AddDrive(200, 3, 0, 1, 0);
  EXPECT_EQ(Find(3, "000200"), "-");
  // Each existing drive: one open for the probe, one for the address.
  EXPECT_EQ(platform_.CountCalls("CreateFileA"), 256u + 2);
  EXPECT_EQ(platform_.CountCalls("DeviceIoControl"), 4u);
}

}  // namespace
}  // namespace dorvane
