#include "adapter/control_messages.h"

#include <gtest/gtest.h>

#include <vector>

#include "adapter/discovery.h"
#include "adapter/virtual_disk_requests.h"
#include "simulator/sim_platform.h"
#include "simulator/test/tool_run.h"

namespace dorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kVersionProbe = {0x1C, 0x00, 0x00, 0x00, 0x50, 0x68, 0x44,
                             0x73, 0x6B, 0x4D, 0x6E, 0x74, 0x02, 0x00,
                             0x00, 0x00, 0x00, 0x08, 0x73, 0x83, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const Bytes kRemoveAll = {0x1C, 0x00, 0x00, 0x00, 0x50, 0x68, 0x44, 0x73,
                          0x6B, 0x4D, 0x6E, 0x74, 0x02, 0x00, 0x00, 0x00,
                          0x06, 0x08, 0x73, 0x83, 0x00, 0x00, 0x00, 0x00,
                          0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};

class RequestBytesTest : public ::testing::Test {
 protected:
  sim::SimMachine machine_ = sim::SimMachine::Default();
  sim::SimPlatform platform_{machine_, "dorvane"};

  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }
};

TEST_F(RequestBytesTest, VersionProbeIsTheseTwentyEightBytes) {
  EXPECT_TRUE(CheckAdapter(platform_, "\\\\.\\scsi2:"));
  EXPECT_EQ(testing::LastRequest(platform_.calls(), CtlQueryVersion),
            kVersionProbe);
  const sim::CallRecord& open = platform_.calls().front();
  EXPECT_EQ(open.call, "CreateFileA");
  EXPECT_EQ(open.a, kGenericRead | kGenericWrite);
  EXPECT_EQ(open.b, kFileShareRead | kFileShareWrite);
  EXPECT_EQ(open.c, kOpenExisting);
}

TEST_F(RequestBytesTest, RemoveAllIsTheseThirtyTwoBytes) {
  EXPECT_FALSE(RemoveVirtualDisk(platform_, "\\\\.\\scsi2:", AllDevices));
  EXPECT_EQ(testing::LastRequest(platform_.calls(), CtlRemoveDevice),
            kRemoveAll);
}

TEST_F(RequestBytesTest, CreateCarriesSizeAndAutomaticNumber) {
  EXPECT_TRUE(AddVirtualDisk(platform_, "\\\\.\\scsi2:", "", 0x210, 104857600)
                  .has_value());
  Bytes request = testing::LastRequest(platform_.calls(), CtlCreateDevice);
  ASSERT_EQ(request.size(), 574u);
  EXPECT_EQ(Bytes(request.begin() + 24, request.begin() + 40),
            (Bytes{0x22, 0x02, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00,
                   0x40, 0x06, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(GetU32(request.data() + 56), 0x210u);
  for (std::size_t i = 40; i < 574; ++i) {
    if (i < 56 || i >= 60) {
      EXPECT_EQ(request[i], 0) << "offset " << i;
    }
  }
}

TEST_F(RequestBytesTest, QueryAdapterAndQueryDeviceCarryZeroPayloads) {
  std::uint8_t request[kAdapterRequestSize];
  StartRequest(request, sizeof request, CtlQueryAdapter);
  EXPECT_EQ(GetU32(request + 24), 68u);
  for (std::size_t i = 28; i < sizeof request; ++i) EXPECT_EQ(request[i], 0);

  DeviceConfig config;
  EXPECT_TRUE(QueryVirtualDisk(platform_, "\\\\.\\scsi2:", 0x0A0B0C, &config)
                  .has_value());
  Bytes query = testing::LastRequest(platform_.calls(), CtlQueryDevice);
  ASSERT_EQ(query.size(), 574u);
  EXPECT_EQ(GetU32(query.data() + 24), 546u);
  EXPECT_EQ(GetU32(query.data() + 28), 0x0A0B0Cu);
  for (std::size_t i = 32; i < query.size(); ++i) EXPECT_EQ(query[i], 0);
}

TEST(AdapterDeviceListTest, ReadsAtMostSixteenSlots) {
  std::uint8_t buffer[kAdapterRequestSize] = {};
  PutU32(buffer + 28, 20);
  for (std::uint32_t i = 0; i < 16; ++i) PutU32(buffer + 32 + 4 * i, i + 1);
  AdapterDeviceList list;
  DecodeAdapterDeviceList(buffer, &list);
  EXPECT_EQ(list.DeviceCount, 20u);
  EXPECT_EQ(list.DeviceNumbers[0], 1u);
  EXPECT_EQ(list.DeviceNumbers[15], 16u);
}

}  // namespace
}  // namespace dorvane
