// What each command sends the driver, byte for byte. The expected requests
// are built here from the published layout (literal offsets), not with the
// tool's own encoder of records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/control_messages.h"
#include "tests/whole_program/tool_run.h"

namespace dorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The two requests whose bytes are published whole.
const Bytes kVersionProbe = {0x1C, 0x00, 0x00, 0x00, 0x50, 0x68, 0x44,
                             0x73, 0x6B, 0x4D, 0x6E, 0x74, 0x02, 0x00,
                             0x00, 0x00, 0x00, 0x08, 0x73, 0x83, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes kRemoveAll = {0x1C, 0x00, 0x00, 0x00, 0x50, 0x68, 0x44, 0x73,
                          0x6B, 0x4D, 0x6E, 0x74, 0x02, 0x00, 0x00, 0x00,
                          0x06, 0x08, 0x73, 0x83, 0x00, 0x00, 0x00, 0x00,
                          0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};

// A create or query-device request: the header, DeviceConfig and the name.
Bytes DeviceRequest(std::uint32_t code, std::uint32_t number, std::int64_t size,
                    std::uint32_t flags, const std::u16string& name) {
  Bytes b(kRemoveAll.begin(), kRemoveAll.begin() + 28);
  b.resize(574);
  PutU32(&b[16], code);
  PutU32(&b[24], 546);
  PutU32(&b[28], number);
  PutU64(&b[32], static_cast<std::uint64_t>(size));
  PutU32(&b[56], flags);
  PutU16(&b[60], static_cast<std::uint16_t>(2 * name.size()));
  for (std::size_t i = 0; i < name.size(); ++i) PutU16(&b[62 + 2 * i], name[i]);
  return b;
}

Bytes Create(std::int64_t size, std::uint32_t flags,
             const std::u16string& name) {
  return DeviceRequest(CtlCreateDevice, 0xFFFFFF, size, flags, name);
}

struct Sent {
  const char* command_line;
  Bytes request;  // the last miniport request
  std::uint32_t code_page = 1252;
};

void PrintTo(const Sent& s, std::ostream* os) { *os << s.command_line; }

class RequestsTest : public ::testing::TestWithParam<Sent> {};

TEST_P(RequestsTest, CarryTheCommandsFields) {
  const Sent& s = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.code_page = s.code_page;
  test::RunTool(machine, "dorvane vm new 1");
  EXPECT_EQ(
      test::MiniportRequests(test::RunTool(machine, s.command_line)).back(),
      s.request);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RequestsTest,
    ::testing::Values(
        Sent{"dorvane vm new 100", Create(104857600, 0x210, u"")},
        Sent{"dorvane vm new -1", Create(-1048576, 0x210, u"")},
        Sent{"dorvane vm add C:\\images\\disk.img",
             Create(0, 0x210, u"\\??\\C:\\images\\disk.img")},
        Sent{"dorvane pm new 4096",
             Create(4294967296, 0x110, u"\\??\\awealloc")},
        Sent{"dorvane pm add C:\\x.img",
             Create(0, 0x110, u"\\??\\awealloc\\??\\C:\\x.img")},
        Sent{"dorvane file add \\??\\C:\\a.img",
             Create(0, 0x110, u"\\??\\\\??\\C:\\a.img")},
        Sent{"dorvane file new \"C:\\my disks\\a.img\" 0x10",
             Create(16777216, 0x110, u"\\??\\C:\\my disks\\a.img")},
        Sent{"dorvane file shm disk1",
             Create(0, 0x3300, u"\\BaseNamedObjects\\Global\\disk1")},
        Sent{"dorvane file add x\\BaseNamedObjects",
             Create(0, 0x110, u"x\\BaseNamedObjects")},
        Sent{"dorvane file add \\basenamedobjects\\d",
             Create(0, 0x110, u"\\??\\\\basenamedobjects\\d")},
        Sent{"dorvane file add \xe9\x80.img",
             Create(0, 0x110, u"\\??\\\u00e9\u20ac.img")},
        // Multi-byte: the length counts the units, not the bytes.
        Sent{"dorvane file add \xc3\xa9\xe2\x82\xac\xf0\x9f\x92\xbe",
             Create(0, 0x110, u"\\??\\\u00e9\u20ac\U0001F4BE"), 65001},
        Sent{"dorvane file remove 1a",
             [] {
               Bytes b = kRemoveAll;
               PutU32(&b[28], 0x1A);
               return b;
             }()},
        Sent{"dorvane removall", kRemoveAll},
        Sent{"dorvane driver check", kVersionProbe},
        Sent{"dorvane list", DeviceRequest(CtlQueryDevice, 0, 0, 0, u"")}));

TEST(RequestsTest, TheListAsksTheAdapterWithAZeroPayload) {
  sim::SimMachine machine = sim::SimMachine::Default();
  const auto calls = test::RunTool(machine, "dorvane list");
  Bytes expected(kRemoveAll.begin(), kRemoveAll.begin() + 28);
  expected.resize(96);
  PutU32(&expected[16], CtlQueryAdapter);
  PutU32(&expected[24], 68);
  EXPECT_EQ(test::MiniportRequests(calls).back(), expected);
}

}  // namespace
}  // namespace dorvane
