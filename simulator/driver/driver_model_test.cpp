#include "simulator/driver/driver_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "adapter/control_messages.h"

namespace dorvane::sim {
namespace {

class DriverModelTest : public ::testing::Test {
 protected:
  std::uint32_t Send(std::vector<std::uint8_t>& buffer, std::uint32_t in = 0,
                     std::uint32_t out = 0) {
    auto size = static_cast<std::uint32_t>(buffer.size());
    return dm_miniport_request(&model_, buffer.data(), in ? in : size,
                               out ? out : size, &returned_, nullptr, nullptr);
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
    std::vector<std::uint8_t> b(DM_HEADER_SIZE + c.payload);
    StartRequest(b.data(), b.size(), c.control);
    if (c.offset >= 0) PutU32(b.data() + c.offset, c.value);
    EXPECT_EQ(Send(b, c.in, c.out), c.error) << c.what;
    EXPECT_EQ(returned_, c.error == 0 ? 28u : 0u) << c.what;
    EXPECT_EQ(GetU32(b.data() + 20), c.error == 0 ? DM_DRIVER_VERSION : 0u)
        << c.what;
    EXPECT_EQ(model_.count, 0u) << c.what;
  }
}

}  // namespace
}  // namespace dorvane::sim
