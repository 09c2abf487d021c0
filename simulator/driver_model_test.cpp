#include "simulator/driver_model.h"

#include <gtest/gtest.h>

#include "simulator/test/test_requests.h"

namespace dorvane::sim {
namespace {

using testing::CreateRequest;
using testing::I64;
using testing::Request;

constexpr std::uint32_t kRefused = 0x80000000u;  // marks an error number

// The one host file the driver can size: "C:\a.img" (after "\??\").
std::uint32_t FileSize(void* /*context*/, const std::uint16_t* path,
                       std::uint32_t units, std::int64_t* size) {
  if (std::u16string(path, path + units) != u"C:\\a.img") return 2;
  *size = 4096;
  return 0;
}

class DriverModelTest : public ::testing::Test {
 protected:
  std::uint32_t Send(std::vector<std::uint8_t>& buffer, std::uint32_t in = 0,
                     std::uint32_t out = 0) {
    auto size = static_cast<std::uint32_t>(buffer.size());
    return dm_miniport_request(&model_, buffer.data(), in ? in : size,
                               out ? out : size, &returned_, FileSize, nullptr);
  }
  // The new disk's number, or kRefused and the error.
  std::uint32_t Create(std::int64_t size, const std::u16string& name,
                       std::uint32_t number = DM_ALL_DEVICES) {
    auto b = CreateRequest(size, 0, name, number);
    std::uint32_t error = Send(b);
    return error != 0 ? kRefused | error : GetU32(b.data() + 28);
  }

  dm_model model_ = {};
  std::uint32_t returned_ = 0;
};

// Only the version request needs no payload; it answers the header alone.
TEST_F(DriverModelTest, HeadersAndPayloadsAreChecked) {
  struct Case {
    const char* what;
    std::uint32_t control, payload;
    int offset;                    // of a header field set to value; -1: none
    std::uint32_t value, in, out;  // sizes; 0: the whole request
    std::uint32_t error;
  };
  const std::uint32_t kCreate = DM_CTL_CREATE_DEVICE;
  const std::uint32_t kVersion = DM_CTL_QUERY_VERSION;
  const Case cases[] = {
      {"version", kVersion, 0, -1, 0, 0, 0, 0},
      {"header length", kVersion, 0, 0, 24, 0, 0, 87},
      {"signature", kVersion, 0, 4, 0x73445050, 0, 0, 87},
      {"length beyond the buffer", kVersion, 0, 24, 1, 0, 0, 87},
      {"short of a header", kVersion, 0, -1, 0, 27, 27, 87},
      {"in size short of the length", kCreate, 546, -1, 0, 100, 574, 87},
      {"out size short of the length", kCreate, 546, -1, 0, 574, 100, 87},
      {"create payload", kCreate, 545, -1, 0, 0, 0, 87},
      {"adapter payload", DM_CTL_QUERY_ADAPTER, 67, -1, 0, 0, 0, 87},
      {"unknown control", 0x83730804u, 0, -1, 0, 0, 0, 1},
  };
  for (const Case& c : cases) {
    auto b = Request(c.control, c.payload);
    if (c.offset >= 0) PutU32(b.data() + c.offset, c.value);
    EXPECT_EQ(Send(b, c.in, c.out), c.error) << c.what;
    EXPECT_EQ(returned_, c.error == 0 ? 28u : 0u) << c.what;
    EXPECT_EQ(GetU32(b.data() + 20), c.error == 0 ? DM_DRIVER_VERSION : 0u)
        << c.what;
    EXPECT_EQ(model_.count, 0u) << c.what;
  }
}

TEST_F(DriverModelTest, NumbersAreTheLowestFreeTargetOrTheOneAskedFor) {
  struct Step {
    bool create;
    std::uint32_t number, result;  // result: a number, or kRefused | error
  };
  const Step steps[] = {
      {true, DM_ALL_DEVICES, 0x000000},
      {true, 0x000200, 0x000200},
      {true, DM_ALL_DEVICES, 0x000100},
      {true, DM_ALL_DEVICES, 0x000300},
      {true, 0x000200, kRefused | 80},
      {true, 0x01000000, kRefused | 87},
      {true, 0x010203, 0x010203},
      {false, 0x000100, 0},
      {false, 0x000100, 2},
      {true, DM_ALL_DEVICES, 0x000100},
      {false, DM_ALL_DEVICES, 0},
      {false, DM_ALL_DEVICES, 0},
      {true, DM_ALL_DEVICES, 0x000000},
  };
  for (const Step& s : steps) {
    auto remove = Request(DM_CTL_REMOVE_DEVICE, 4, s.number);
    EXPECT_EQ(s.create ? Create(512, u"", s.number) : Send(remove), s.result)
        << std::hex << (s.create ? "create " : "remove ") << s.number;
  }
  EXPECT_EQ(model_.count, 1u);
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
  // A query tells the whole configuration, or the header alone when there
  // is no such disk.
  for (const Case& c : cases) {
    model_ = {};
    auto b = CreateRequest(c.size, 0x110, c.name);
    EXPECT_EQ(Send(b), c.error) << c.size << " " << c.name.size();
    auto query = Request(DM_CTL_QUERY_DEVICE, DM_DEVICE_CONFIG_SIZE, 0);
    ASSERT_EQ(Send(query), 0u);
    EXPECT_EQ(returned_, c.error == 0 ? 574u : 28u);
    if (c.error == 0) {
      EXPECT_EQ(I64(query, 32), c.disk_size);
      EXPECT_EQ(GetU32(query.data() + 40), 512u);
      EXPECT_EQ(GetU32(query.data() + 56), 0x110u);
      EXPECT_EQ(testing::AnswerName(query), c.name);
    }
  }
}

TEST_F(DriverModelTest, NameStopsAtItsLengthAZeroUnitOr255Units) {
  struct Case {
    std::uint16_t length;
    std::u16string sent, kept;
  };
  const Case cases[] = {
      {8, u"\\BaseNamedObjects\\x", u"\\Bas"},
      {1000, u"\\BaseNamedObjects\\x", u"\\BaseNamedObjects\\x"},
      {40, std::u16string(u"\\BaseNamedObjects\0xy", 20),
       u"\\BaseNamedObjects"},
      {0xFFFF, std::u16string(256, u'x'), std::u16string(255, u'x')},
  };
  for (const Case& c : cases) {
    model_ = {};
    auto b = CreateRequest(512, 0, c.sent);
    PutU16(b.data() + 60, c.length);
    ASSERT_EQ(Send(b), 0u);
    EXPECT_EQ(testing::AnswerName(b), c.kept);
    EXPECT_EQ(model_.disks[0].name_length, c.kept.size() * 2);
  }
}

TEST_F(DriverModelTest, AtMost64DisksOfWhichTheAdapterListsSixteen) {
  for (std::uint32_t i = 0; i < 64; ++i) ASSERT_EQ(Create(512, u""), i << 8);
  EXPECT_EQ(Create(512, u""), kRefused | 8);
  EXPECT_EQ(Create(512, u"", 0x7F00), kRefused | 8);
  auto b = Request(DM_CTL_REMOVE_DEVICE, 4, 0x000000);
  ASSERT_EQ(Send(b), 0u);  // the others keep their order
  b = Request(DM_CTL_QUERY_ADAPTER, DM_DEVICE_LIST_SIZE);
  ASSERT_EQ(Send(b), 0u);
  EXPECT_EQ(returned_, 96u);
  EXPECT_EQ(GetU32(b.data() + 28), 63u);
  for (std::uint32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(GetU32(b.data() + 32 + 4 * i), (i + 1) << 8);
  }
}

}  // namespace
}  // namespace dorvane::sim
