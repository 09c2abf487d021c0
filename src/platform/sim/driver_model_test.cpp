#include "platform/sim/driver_model.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/test_requests.h"

namespace dorvane::sim {
namespace {

using testing::CreateRequest;
using testing::I64;
using testing::QueryDeviceRequest;
using testing::RemoveRequest;
using testing::Request;
using testing::U32;

// Host files the driver can size: path (without "\??\") -> size.
std::map<std::u16string, std::int64_t> g_files;

std::uint32_t FileSize(void* /*context*/, const std::uint16_t* path,
                       std::uint32_t units, std::int64_t* size) {
  auto it = g_files.find(std::u16string(path, path + units));
  if (it == g_files.end()) return 2;
  *size = it->second;
  return 0;
}

class DriverModelTest : public ::testing::Test {
 protected:
  void SetUp() override { g_files = {{u"C:\\a.img", 4096}}; }

  std::uint32_t Send(std::vector<std::uint8_t>& buffer) {
    auto size = static_cast<std::uint32_t>(buffer.size());
    return dm_miniport_request(&model_, buffer.data(), size, size, &returned_,
                               FileSize, nullptr);
  }
  // Creates a disk and returns its number (or the error with the top bit).
  std::uint32_t Create(std::int64_t size, const std::u16string& name,
                       std::uint32_t number = DM_ALL_DEVICES) {
    auto b = CreateRequest(size, 0, name, number);
    std::uint32_t error = Send(b);
    return error != 0 ? 0x80000000u | error : U32(b, 28);
  }

  dm_model model_ = {};
  std::uint32_t returned_ = 0;
};

TEST_F(DriverModelTest, VersionSucceedsWithItsVersionInReturnCode) {
  auto b = Request(DM_CTL_QUERY_VERSION, 0);
  EXPECT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 28u);
  EXPECT_EQ(U32(b, 20), DM_DRIVER_VERSION);
}

TEST_F(DriverModelTest, BadHeadersAreInvalidParameters) {
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"header length", 0, 24},
      {"signature", 4, 0x73445050},
      {"length beyond the buffer", 24, 1},
  };
  for (const Case& c : cases) {
    auto b = Request(DM_CTL_QUERY_VERSION, 0);
    testing::PutU32(b, c.offset, c.value);
    EXPECT_EQ(Send(b), 87u) << c.what;
  }
  std::vector<std::uint8_t> short_buffer(27);
  EXPECT_EQ(Send(short_buffer), 87u);
}

TEST_F(DriverModelTest, LengthIsCheckedAgainstBothSizes) {
  auto b = CreateRequest(1 << 20, 0, u"");
  EXPECT_EQ(dm_miniport_request(&model_, b.data(), 574, 100, &returned_,
                                FileSize, nullptr),
            87u);
  EXPECT_EQ(dm_miniport_request(&model_, b.data(), 100, 574, &returned_,
                                FileSize, nullptr),
            87u);
  EXPECT_EQ(model_.count, 0u);
}

TEST_F(DriverModelTest, PayloadTooSmallForTheRequestIsInvalid) {
  const std::uint32_t controls[] = {DM_CTL_CREATE_DEVICE, DM_CTL_QUERY_DEVICE,
                                    DM_CTL_QUERY_ADAPTER, DM_CTL_REMOVE_DEVICE};
  for (std::uint32_t control : controls) {
    auto b = Request(control, 3);
    EXPECT_EQ(Send(b), 87u) << std::hex << control;
  }
}

TEST_F(DriverModelTest, UnknownControlCodesAreInvalidFunctions) {
  for (std::uint32_t control : {0x83730804u, 0x83730805u, 0x83730807u, 0u}) {
    auto b = Request(control, 0);
    EXPECT_EQ(Send(b), 1u) << std::hex << control;
  }
}

TEST_F(DriverModelTest, CreateAnswersTheWholeConfiguration) {
  auto b = CreateRequest(104857600, 0x110, u"\\??\\C:\\new.img");
  ASSERT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 574u);
  EXPECT_EQ(U32(b, 28), 0u);
  EXPECT_EQ(I64(b, 32), 104857600);
  EXPECT_EQ(U32(b, 40), 512u);
  EXPECT_EQ(U32(b, 56), 0x110u);
  EXPECT_EQ(testing::AnswerName(b), u"\\??\\C:\\new.img");
}

TEST_F(DriverModelTest, AutomaticNumbersTakeTheLowestFreeTarget) {
  EXPECT_EQ(Create(1024, u""), 0x000000u);
  EXPECT_EQ(Create(1024, u""), 0x000100u);
  EXPECT_EQ(Create(1024, u""), 0x000200u);
  auto remove = RemoveRequest(0x000100);
  ASSERT_EQ(Send(remove), 0u);
  EXPECT_EQ(Create(1024, u""), 0x000100u);
  EXPECT_EQ(Create(1024, u""), 0x000300u);
}

TEST_F(DriverModelTest, SpecificNumbersAreUsedWhenFree) {
  EXPECT_EQ(Create(1024, u"", 0x010203), 0x010203u);
  EXPECT_EQ(Create(1024, u"", 0x010203), 0x80000000u | 80);
  EXPECT_EQ(Create(1024, u"", 0x000000), 0x000000u);
  EXPECT_EQ(Create(1024, u"", 0x01000000), 0x80000000u | 87);
  // The automatic number skips the target already taken.
  EXPECT_EQ(Create(1024, u""), 0x000100u);
}

TEST_F(DriverModelTest, SizesComeFromTheRequestOrTheBacking) {
  struct Case {
    std::int64_t size;
    std::u16string name;
    std::uint32_t error;
    std::int64_t disk_size;
  };
  const Case cases[] = {
      {-1, u"\\??\\C:\\a.img", 87, 0},
      {8 << 20, u"", 0, 8 << 20},
      {8 << 20, u"\\??\\C:\\missing.img", 0, 8 << 20},
      {0, u"\\??\\C:\\a.img", 0, 4096},
      {0, u"\\??\\awealloc\\??\\C:\\a.img", 0, 4096},
      {0, u"\\??\\AWEAlloc\\??\\C:\\a.img", 0, 4096},
      {0, u"\\??\\C:\\missing.img", 2, 0},
      {0, u"\\BaseNamedObjects\\Global\\disk1", 0, 0},
      {0, u"\\??\\\\basenamedobjects\\disk1", 2, 0},
      {0, u"", 87, 0},
      {0, u"\\??\\awealloc", 87, 0},
      {0, u"\\??\\", 87, 0},
      {0, u"C:\\a.img", 87, 0},
  };
  for (const Case& c : cases) {
    model_ = {};
    auto b = CreateRequest(c.size, 0, c.name);
    EXPECT_EQ(Send(b), c.error) << c.size << " " << c.name.size();
    if (c.error == 0) {
      ASSERT_EQ(model_.count, 1u);
      EXPECT_EQ(model_.disks[0].size, c.disk_size);
    } else {
      EXPECT_EQ(model_.count, 0u);
    }
  }
}

TEST_F(DriverModelTest, NameStopsAtItsLengthTheFieldOrAZeroUnit) {
  struct Case {
    std::uint16_t length;
    std::u16string sent;
    std::u16string kept;
  };
  const Case cases[] = {
      {8, u"\\BaseNamedObjects\\x", u"\\Bas"},
      {1000, u"\\BaseNamedObjects\\x", u"\\BaseNamedObjects\\x"},
      {40, std::u16string(u"\\BaseNamedObjects\0xy", 20),
       u"\\BaseNamedObjects"},
  };
  for (const Case& c : cases) {
    model_ = {};
    auto b = CreateRequest(512, 0, c.sent);
    b[60] = static_cast<std::uint8_t>(c.length);
    b[61] = static_cast<std::uint8_t>(c.length >> 8);
    ASSERT_EQ(Send(b), 0u);
    EXPECT_EQ(testing::AnswerName(b), c.kept);
    EXPECT_EQ(model_.disks[0].name_length, c.kept.size() * 2);
  }
}

TEST_F(DriverModelTest, NameIsClampedTo255Units) {
  auto b = CreateRequest(512, 0, std::u16string(256, u'x'));
  b[60] = 0xFF;
  b[61] = 0xFF;
  ASSERT_EQ(Send(b), 0u);
  EXPECT_EQ(testing::AnswerName(b), std::u16string(255, u'x'));
  EXPECT_EQ(b[62 + 2 * 255], 0);
}

TEST_F(DriverModelTest, AtMost64Disks) {
  for (int i = 0; i < 64; ++i)
    ASSERT_EQ(Create(512, u""), static_cast<std::uint32_t>(i) << 8);
  EXPECT_EQ(Create(512, u""), 0x80000000u | 8);
  EXPECT_EQ(Create(512, u"", 0x7F00), 0x80000000u | 8);
  EXPECT_EQ(model_.count, 64u);
}

TEST_F(DriverModelTest, QueryDeviceDescribesAKnownDisk) {
  Create(0, u"\\??\\C:\\a.img");
  auto b = QueryDeviceRequest(0);
  ASSERT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 574u);
  EXPECT_EQ(I64(b, 32), 4096);
  EXPECT_EQ(testing::AnswerName(b), u"\\??\\C:\\a.img");
}

TEST_F(DriverModelTest, QueryOfAnUnknownNumberAnswersOnlyTheHeader) {
  auto b = QueryDeviceRequest(0x000500);
  EXPECT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 28u);
}

TEST_F(DriverModelTest, QueryAdapterCountsAllButListsSixteen) {
  for (int i = 0; i < 20; ++i) Create(512, u"");
  auto b = Request(DM_CTL_QUERY_ADAPTER, DM_DEVICE_LIST_SIZE);
  ASSERT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 96u);
  EXPECT_EQ(U32(b, 28), 20u);
  for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(U32(b, 32 + 4 * i), i << 8);
}

TEST_F(DriverModelTest, RemoveOfAnUnknownNumberFails) {
  Create(512, u"");
  auto b = RemoveRequest(0x000100);
  EXPECT_EQ(Send(b), 2u);
  EXPECT_EQ(model_.count, 1u);
}

TEST_F(DriverModelTest, RemoveAllDevicesEmptiesTheAdapterEvenWhenEmpty) {
  for (int i = 0; i < 3; ++i) Create(512, u"");
  for (int round = 0; round < 2; ++round) {
    auto b = RemoveRequest(DM_ALL_DEVICES);
    EXPECT_EQ(Send(b), 0u);
    EXPECT_EQ(model_.count, 0u);
  }
}

TEST_F(DriverModelTest, RemoveKeepsTheOthersInCreationOrder) {
  for (int i = 0; i < 3; ++i) Create(512, u"");
  auto b = RemoveRequest(0x000000);
  ASSERT_EQ(Send(b), 0u);
  ASSERT_EQ(model_.count, 2u);
  EXPECT_EQ(model_.disks[0].number, 0x000100u);
  EXPECT_EQ(model_.disks[1].number, 0x000200u);
  EXPECT_EQ(dm_find_disk(&model_, 0x000000), nullptr);
}

}  // namespace
}  // namespace dorvane::sim
