#include "int13ext/int13ext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "runtime/bytes.h"
#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

class DriveProbeTest : public test::MachineTest {
 protected:
  void SetUp() override { InitializePlatformFlag(platform_); }
};

TEST_F(DriveProbeTest, AnsweringDrivesAreDescribed) {
  DriveParams params;
  std::memset(params.bytes, 0x5A, sizeof params.bytes);
  ASSERT_TRUE(GetDriveParams(platform_, 0, &params));
  EXPECT_EQ(GetU16(params.bytes), 30);
  EXPECT_EQ(GetU16(params.bytes + 2), 0);
  // The machine's drives are 1,024 cylinders of 255 tracks of 63 sectors.
  EXPECT_EQ(GetU32(params.bytes + 4), 1024u);
  EXPECT_EQ(GetU32(params.bytes + 8), 255u);
  EXPECT_EQ(GetU32(params.bytes + 12), 63u);
  EXPECT_EQ(GetU64(params.bytes + 16), 1024u * 255 * 63);
  EXPECT_EQ(GetU16(params.bytes + 24), 512u);
  EXPECT_EQ(GetU32(params.bytes + 26), 0u);
  // InfoFlags: removable for media types 1 to 11 and 13 to 22 only.
  const std::pair<std::uint32_t, int> kInfoFlags[] = {
      {0, 0}, {1, 4}, {11, 4}, {12, 0}, {13, 4}, {22, 4}, {23, 0}, {~0u, 0}};
  for (auto [type, flags] : kInfoFlags) {
    machine_.AddDrive(255, 1).media_type = type;
    ASSERT_TRUE(GetDriveParams(platform_, 255, &params));
    EXPECT_EQ(GetU16(params.bytes + 2), flags) << type;
  }
  const sim::CallRecord& open = platform_.calls()[platform_.calls().size() - 3];
  EXPECT_EQ(open.call, "CreateFileA");
  EXPECT_EQ(open.text, "\\\\.\\PhysicalDrive255");
  EXPECT_EQ(open.a, 0u) << "no access rights asked for";
  EXPECT_EQ(open.b, kFileShareRead | kFileShareWrite);
}

TEST_F(DriveProbeTest, FailuresLeaveTheRecordUntouched) {
  machine_.AddDrive(1, 0).refuse_geometry = true;
  DriveParams params;
  std::memset(params.bytes, 0x5A, sizeof params.bytes);
  const DriveParams before = params;
  for (std::uint8_t drive : {1, 3, 200}) {
    EXPECT_FALSE(GetDriveParams(platform_, drive, &params)) << int{drive};
    EXPECT_EQ(std::memcmp(params.bytes, before.bytes, 30), 0) << int{drive};
  }
  machine_.Fail("DeviceIoControl", 21);
  EXPECT_FALSE(GetDriveParams(platform_, 0, &params));
  EXPECT_EQ(std::memcmp(params.bytes, before.bytes, 30), 0);
}

}  // namespace
}  // namespace dorvane
