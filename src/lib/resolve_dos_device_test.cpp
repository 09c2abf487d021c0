#include "lib/resolve_dos_device.h"

#include <gtest/gtest.h>

#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

class ResolveDosDeviceTest : public test::MachineTest {
 protected:
  std::vector<std::uint32_t> QuerySizes() const {
    std::vector<std::uint32_t> sizes;
    for (const sim::CallRecord& call : platform_.calls()) {
      if (call.call == "QueryDosDeviceA") sizes.push_back(call.a);
    }
    return sizes;
  }
};

TEST_F(ResolveDosDeviceTest, AnswersTheTargetOrEmptyText) {
  EXPECT_EQ(ResolveDosDevice(platform_, "scsi2:"), "\\Device\\RaidPort2");
  EXPECT_EQ(ResolveDosDevice(platform_, "\\scsi1:\\"), "\\Device\\RaidPort1");
  EXPECT_EQ(ResolveDosDevice(platform_, "scsi7:"), "");
  machine_.Fail("QueryDosDeviceA", 5);
  EXPECT_EQ(ResolveDosDevice(platform_, "scsi2:"), "");
  EXPECT_EQ(QuerySizes(),
            (std::vector<std::uint32_t>{65534, 65534, 65534, 65534}));
}

TEST_F(ResolveDosDeviceTest, GrowsTheBufferWhileItIsTooSmall) {
  machine_.Fail("QueryDosDeviceA", kErrorInsufficientBuffer, 2);
  EXPECT_EQ(ResolveDosDevice(platform_, "scsi2:"), "\\Device\\RaidPort2");
  EXPECT_EQ(QuerySizes(), (std::vector<std::uint32_t>{65534, 131069, 262139}));
}

TEST_F(ResolveDosDeviceTest, GivesUpPastSixteenMegabytes) {
  machine_.Fail("QueryDosDeviceA", kErrorInsufficientBuffer, 100);
  EXPECT_EQ(ResolveDosDevice(platform_, "scsi2:"), "");
  std::vector<std::uint32_t> sizes = QuerySizes();
  ASSERT_EQ(sizes.size(), 9u);
  EXPECT_EQ(sizes.back(), 65535u * 256 - 1);
}

}  // namespace
}  // namespace dorvane
