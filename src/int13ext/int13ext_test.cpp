#include "int13ext/int13ext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/bytes.h"
#include "simulator/sim_platform.h"

namespace dorvane {
namespace {

struct Table {
  DiskGeometry geometry;
  std::uint16_t info_flags;
  std::uint64_t total_sectors;
};

class DriveParamsTableTest : public ::testing::TestWithParam<Table> {};

TEST_P(DriveParamsTableTest, IsFilledFromTheGeometry) {
  const Table& t = GetParam();
  DriveParams params;
  std::memset(params.bytes, 0xAA, sizeof params.bytes);
  EncodeDriveParams(t.geometry, &params);
  const std::uint8_t* p = params.bytes;
  EXPECT_EQ(GetU16(p), 30);
  EXPECT_EQ(GetU16(p + 2), t.info_flags) << t.geometry.MediaType;
  EXPECT_EQ(GetU32(p + 4), static_cast<std::uint32_t>(t.geometry.Cylinders));
  EXPECT_EQ(GetU32(p + 8), t.geometry.TracksPerCylinder);
  EXPECT_EQ(GetU32(p + 12), t.geometry.SectorsPerTrack);
  EXPECT_EQ(GetU64(p + 16), t.total_sectors);
  EXPECT_EQ(GetU16(p + 24), t.geometry.BytesPerSector & 0xFFFF);
  EXPECT_EQ(GetU32(p + 26), 0u);
}

DiskGeometry Geometry(std::int64_t cylinders, std::uint32_t media) {
  return DiskGeometry{cylinders, media, 255, 63, 512};
}

INSTANTIATE_TEST_SUITE_P(
    Geometries, DriveParamsTableTest,
    ::testing::Values(Table{Geometry(1024, 12), 0, 16450560},
                      Table{Geometry(1024, 11), 4, 16450560},
                      Table{Geometry(1024, 1), 4, 16450560},
                      Table{Geometry(1024, 13), 4, 16450560},
                      Table{Geometry(1024, 22), 4, 16450560},
                      Table{Geometry(1024, 0), 0, 16450560},
                      Table{Geometry(1024, 23), 0, 16450560},
                      Table{Geometry(1024, 0xFFFFFFFF), 0, 16450560},
                      Table{Geometry(300000, 12), 0, 4819500000ull},
                      // Only the low 32 bits of Cylinders count.
                      Table{Geometry(0x100000002, 12), 0, 2 * 255 * 63},
                      Table{DiskGeometry{1, 12, 1, 1, 0x10200}, 0, 1}));

class DriveProbeTest : public ::testing::Test {
 protected:
  sim::SimMachine machine_ = sim::SimMachine::Default(false);
  sim::SimPlatform platform_{machine_, "dorvane"};

  void SetUp() override { InitializePlatformFlag(platform_); }
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }
};

TEST_F(DriveProbeTest, AnsweringDrivesAreDescribed) {
  machine_.AddDrive(255, 1).media_type = 11;
  DriveParams params;
  ASSERT_TRUE(GetDriveParams(platform_, 0, &params));
  EXPECT_EQ(GetU16(params.bytes + 2), 0);
  // The machine's drives are 1,024 cylinders of 255 tracks of 63 sectors.
  EXPECT_EQ(GetU32(params.bytes + 4), 1024u);
  EXPECT_EQ(GetU32(params.bytes + 8), 255u);
  EXPECT_EQ(GetU32(params.bytes + 12), 63u);
  EXPECT_EQ(GetU16(params.bytes + 24), 512u);
  ASSERT_TRUE(GetDriveParams(platform_, 255, &params));
  EXPECT_EQ(GetU16(params.bytes + 2), 4);
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

TEST_F(DriveProbeTest, NotNtTouchesNothing) {
  machine_.is_nt = false;
  InitializePlatformFlag(platform_);
  DriveParams params;
  std::memset(params.bytes, 0x11, sizeof params.bytes);
  EXPECT_FALSE(GetDriveParams(platform_, 0, &params));
  EXPECT_EQ(params.bytes[0], 0x11);
  EXPECT_EQ(platform_.CountCalls("CreateFileA"), 0u);
}

TEST_F(DriveProbeTest, AFailedVersionQueryMeansNotNt) {
  EXPECT_TRUE(IsWinNT(platform_));
  machine_.Fail("GetVersionExA", 87);
  EXPECT_FALSE(IsWinNT(platform_));
}

}  // namespace
}  // namespace dorvane
