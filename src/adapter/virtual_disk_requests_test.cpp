#include "adapter/virtual_disk_requests.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "simulator/test/scripted_answers.h"
#include "simulator/test/tool_run.h"
#include "simulator/windows_values.h"

namespace dorvane {
namespace {

using testing::ScriptedAnswers;

const std::string kAdapter = "\\\\.\\scsi2:";

class VirtualDiskRequestsTest : public ::testing::Test {
 protected:
  sim::SimMachine machine_ = sim::SimMachine::Default();
  ScriptedAnswers platform_{machine_, "dorvane"};

  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  std::vector<std::uint8_t> LastCreate() {
    return testing::LastRequest(platform_.calls(), CtlCreateDevice);
  }
};

struct NameCase {
  const char* name;
  std::uint32_t code_page;
  std::u16string sent;  // the UTF-16 units that reach the driver
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class FileNameTest : public VirtualDiskRequestsTest,
                     public ::testing::WithParamInterface<NameCase> {};

TEST_P(FileNameTest, ReachesTheDriverPrepared) {
  const NameCase& c = GetParam();
  machine_.code_page = c.code_page;
  // The backing does not exist on the simulated machine; only the request
  // matters here.
  (void)AddVirtualDisk(platform_, kAdapter, c.name, 0x110, 1048576);
  std::vector<std::uint8_t> request = LastCreate();
  ASSERT_EQ(request.size(), kDeviceRequestSize);
  EXPECT_EQ(GetU16(request.data() + 60), 2 * c.sent.size());
  for (std::size_t i = 0; i < kFileNameUnits; ++i) {
    std::uint16_t expected = i < c.sent.size() ? c.sent[i] : 0;
    ASSERT_EQ(GetU16(request.data() + 62 + 2 * i), expected) << "unit " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameTest,
    ::testing::Values(
        NameCase{"C:\\images\\disk.img", 1252, u"\\??\\C:\\images\\disk.img"},
        NameCase{"", 1252, u""},
        NameCase{"\\BaseNamedObjects\\Global\\disk1", 1252,
                 u"\\BaseNamedObjects\\Global\\disk1"},
        NameCase{"x\\BaseNamedObjects", 1252, u"x\\BaseNamedObjects"},
        NameCase{"\\basenamedobjects\\Global\\disk1", 1252,
                 u"\\??\\\\basenamedobjects\\Global\\disk1"},
        NameCase{"\\??\\C:\\a.img", 1252, u"\\??\\\\??\\C:\\a.img"},
        NameCase{"awealloc", 1252, u"\\??\\awealloc"},
        NameCase{"awealloc\\??\\C:\\x.img", 1252,
                 u"\\??\\awealloc\\??\\C:\\x.img"},
        NameCase{"\xe9\x80.img", 1252, u"\\??\\\u00e9\u20ac.img"},
        // Multi-byte: the length counts the units converted, not the bytes.
        NameCase{"\xc3\xa9\xe2\x82\xac.img", 65001, u"\\??\\\u00e9\u20ac.img"},
        NameCase{"\xf0\x9f\x92\xbe", 65001, u"\\??\\\U0001F4BE"}));

TEST_F(VirtualDiskRequestsTest, NamesLongerThanTheFieldAreRefusedUnopened) {
  struct Case {
    std::string name;
    std::uint32_t code_page;
    bool fits;
  };
  const Case cases[] = {
      {std::string(251, 'a'), 1252, true},   // 255 units with "\??\"
      {std::string(252, 'a'), 1252, false},  // 256 units
      {std::string(4000, 'a'), 1252, false},
      {"\\BaseNamedObjects\\" + std::string(237, 'a'), 1252, true},
      {"\\BaseNamedObjects\\" + std::string(238, 'a'), 1252, false},
      {[] {
         std::string s;
         for (int i = 0; i < 251; ++i) s += "\xc3\xa9";
         return s;
       }(),
       65001, true},  // 502 bytes, 255 units
  };
  for (const Case& c : cases) {
    machine_.code_page = c.code_page;
    std::size_t opens = platform_.CountCalls("CreateFileA");
    Error error =
        AddVirtualDisk(platform_, kAdapter, c.name, 0x110, 1048576).error();
    if (c.fits) {
      EXPECT_FALSE(error) << c.name.size() << ": " << error.message();
      EXPECT_EQ(GetU16(LastCreate().data() + 60), 510);
      EXPECT_EQ(GetU16(LastCreate().data() + 62 + 2 * 255), 0);
    } else {
      ASSERT_TRUE(error) << c.name.size();
      EXPECT_EQ(error.message(), "file name too long");
      EXPECT_EQ(platform_.CountCalls("CreateFileA"), opens);
    }
  }
}

TEST_F(VirtualDiskRequestsTest, AFailedConversionSendsNothing) {
  for (std::uint32_t error :
       {sim::kErrorInvalidParameter, kErrorInsufficientBuffer}) {
    machine_.Fail("MultiByteToWideChar", error);
    EXPECT_EQ(AddVirtualDisk(platform_, kAdapter, "a.img", 0x110, 0)
                  .error()
                  .message(),
              "MultiByteToWideChar failed:" + std::to_string(error));
    EXPECT_EQ(platform_.CountCalls("CreateFileA"), 0u);
  }
}

TEST_F(VirtualDiskRequestsTest, AddTakesTheDriversNumber) {
  EXPECT_EQ(*AddVirtualDisk(platform_, kAdapter, "", 0x210, 1048576), 0u);
  EXPECT_EQ(*AddVirtualDisk(platform_, kAdapter, "", 0x210, 1048576), 0x100u);
  // A driver that leaves the number alone hands back AllDevices.
  platform_.rewrites[CtlCreateDevice] = [](std::uint8_t* answer,
                                           std::uint32_t*) {
    PutU32(answer + 28, AllDevices);
    PutU32(answer + 20, 0xC0000001);  // ReturnCode is never looked at
  };
  EXPECT_EQ(*AddVirtualDisk(platform_, kAdapter, "", 0x210, 1048576),
            AllDevices);
}

TEST_F(VirtualDiskRequestsTest, FailuresCarryTheirMessages) {
  struct Case {
    const char* call;
    std::uint32_t error;
    const char* add;
    const char* query;
    const char* remove;
  };
  const Case cases[] = {
      {"CreateFileA", 5, "createfile failed", "createfile failed",
       "createfile failed"},
      {"DeviceIoControl", 1, "DeviceIoControl failed:1", "failed:1",
       "DeviceIoControl failed:1"},
      {"DeviceIoControl", 1117, "DeviceIoControl failed:1117", "failed:1117",
       "DeviceIoControl failed:1117"},
  };
  for (const Case& c : cases) {
    machine_.Fail(c.call, c.error);
    EXPECT_EQ(AddVirtualDisk(platform_, kAdapter, "", 0x210, 1048576)
                  .error()
                  .message(),
              c.add);
    DeviceConfig config;
    config.Flags = 9;
    machine_.Fail(c.call, c.error);
    EXPECT_EQ(
        QueryVirtualDisk(platform_, kAdapter, 0, &config).error().message(),
        c.query);
    EXPECT_EQ(config.Flags, 0u) << "zeroed before anything else";
    machine_.Fail(c.call, c.error);
    EXPECT_EQ(RemoveVirtualDisk(platform_, kAdapter, 0).message(), c.remove);
  }
}

TEST_F(VirtualDiskRequestsTest, QueryDescribesOnlyAnswersLongerThanTheHeader) {
  Expected<std::uint32_t> number = AddVirtualDisk(
      platform_, kAdapter, "\\BaseNamedObjects\\Global\\d", 0x3300, 5242880);
  ASSERT_TRUE(number.has_value());
  DeviceConfig config;
  platform_.rewrites[CtlQueryDevice] = [](std::uint8_t* answer,
                                          std::uint32_t*) {
    PutU32(answer + 44, 0xDEADBEEF);  // Reserved
  };
  Expected<bool> described =
      QueryVirtualDisk(platform_, kAdapter, *number, &config);
  ASSERT_TRUE(described.has_value());
  EXPECT_TRUE(*described);
  EXPECT_EQ(config.DiskSize, 5242880);
  EXPECT_EQ(config.Flags, 0x3300u);
  EXPECT_EQ(config.Reserved, 0u);
  EXPECT_EQ(config.FileName[0], '\\');

  for (std::uint32_t length : {0u, 28u, 29u}) {
    platform_.rewrites[CtlQueryDevice] = [length](std::uint8_t*,
                                                  std::uint32_t* returned) {
      *returned = length;
    };
    described = QueryVirtualDisk(platform_, kAdapter, *number, &config);
    ASSERT_TRUE(described.has_value());
    EXPECT_EQ(*described, length > 28) << length;
    EXPECT_EQ(config.Flags, length > 28 ? 0x3300u : 0u) << length;
  }
}

TEST_F(VirtualDiskRequestsTest, RemoveAllSucceedsWithNoDisks) {
  EXPECT_FALSE(RemoveVirtualDisk(platform_, kAdapter, AllDevices));
  EXPECT_EQ(RemoveVirtualDisk(platform_, kAdapter, 0x100).message(),
            "DeviceIoControl failed:2");
}

}  // namespace
}  // namespace dorvane
