#include "app/list_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/format.h"
#include "simulator/test/scripted_answers.h"
#include "simulator/test/tool_run.h"

namespace dorvane {
namespace {

using testing::kBanner;
using testing::RunTool;
using testing::ScriptedAnswers;

struct Listing {
  std::string out;  // after the banner
  std::size_t open_handles = 0;
};

// Runs "dorvane list" on the machine, with the driver's answers bent.
Listing List(sim::SimMachine& machine,
             std::map<std::uint32_t, ScriptedAnswers::Rewrite> rewrites = {}) {
  ScriptedAnswers platform(machine, "dorvane list");
  platform.rewrites = std::move(rewrites);
  EXPECT_EQ(RunDorvane(platform), 0);
  EXPECT_EQ(platform.err().text(), "");
  const std::string& out = platform.out().text();
  EXPECT_EQ(out.compare(0, std::strlen(kBanner), kBanner), 0) << out;
  return {out.substr(std::strlen(kBanner)), platform.open_handles()};
}

TEST(ListReportTest, NotNtHasNoDriveColumn) {
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.is_nt = false;
  RunTool(machine, "dorvane vm new 1");
  EXPECT_EQ(List(machine).out,
            "ok 1 virtualdisk(s) found\r\n000000\t1\tmemory\r\n");
}

// More numbers than the answer's 16 slots: the count as given, 16 lines.
TEST(ListReportTest, ReadsAtMostSixteenSlots) {
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.is_nt = false;
  Listing listing = List(
      machine, {{CtlQueryAdapter, [](std::uint8_t* answer, std::uint32_t*) {
                   PutU32(answer + 28, 0xFFFFFFFF);
                 }}});
  EXPECT_EQ(listing.out.substr(0, 36),
            "ok 4294967295 virtualdisk(s) found\r\n");
  EXPECT_EQ(std::count(listing.out.begin(), listing.out.end(), '\n'), 17);
}

struct Column {
  std::uint32_t number;
  std::int64_t size;
  std::uint32_t flags;
  const char* line;
};

class ListColumnsTest : public ::testing::TestWithParam<Column> {};

TEST_P(ListColumnsTest, FormatsNumberSizeAndBacking) {
  const Column c = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.is_nt = false;
  RunTool(machine, "dorvane file shm C:\\a.img");
  Listing listing = List(
      machine,
      {{CtlQueryAdapter,
        [c](std::uint8_t* answer, std::uint32_t*) {
          PutU32(answer + 32, c.number);
        }},
       {CtlQueryDevice, [c](std::uint8_t* answer, std::uint32_t* returned) {
          *returned = 574;
          PutU64(answer + 32, static_cast<std::uint64_t>(c.size));
          PutU32(answer + 56, c.flags);
        }}});
  EXPECT_EQ(listing.out, std::string("ok 1 virtualdisk(s) found\r\n") + c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ListColumnsTest,
    ::testing::Values(
        // An unknown disk: the driver described nothing, so no name.
        Column{0x100, 1048575, 0x110, "000100\t0\t\r\n"},
        Column{0x1000000, 1572864, 0x210, "1000000\t1\tmemory\r\n"},
        Column{0xFFFFFFFF, 104857600, 0x3300, "FFFFFFFF\t100\tmemory\r\n"},
        Column{0, -1048577, 0x200, "000000\t-1\tmemory\r\n"},
        Column{0, INT64_MIN, 0x200, "000000\t-8796093022208\tmemory\r\n"},
        Column{0, INT64_MAX, 0,
               "000000\t8796093022207\t"
               "\\BaseNamedObjects\\Global\\C:\\a.img\r\n"}));

TEST(ListReportTest, ANameOfTheFullFieldWithoutZeroUnitIsCutAtTheField) {
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.is_nt = false;
  RunTool(machine, "dorvane vm new 1");
  Listing listing =
      List(machine, {{CtlQueryDevice, [](std::uint8_t* answer, std::uint32_t*) {
                        PutU32(answer + 56, 0);
                        for (int i = 0; i < 256; ++i)
                          PutU16(answer + 62 + 2 * i, 'n');
                      }}});
  EXPECT_EQ(listing.out, "ok 1 virtualdisk(s) found\r\n000000\t1\t" +
                             std::string(256, 'n') + "\r\n");
}

struct ListFailure {
  const char* call;
  std::uint32_t error;
  std::uint32_t after;
  const char* out;
};

class ListFailureTest : public ::testing::TestWithParam<ListFailure> {};

// Discovery opens scsi1: and scsi2: and sends each a probe; the list opens
// the adapter and queries it; then each disk opens the adapter for its query.
TEST_P(ListFailureTest, IsALineAndTheReportGoesOn) {
  const ListFailure& f = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.is_nt = false;
  RunTool(machine, "dorvane vm new 1");
  RunTool(machine, "dorvane vm new 2");
  machine.Fail(f.call, f.error, 1, f.after);
  Listing listing = List(machine);
  EXPECT_EQ(listing.out, f.out);
  EXPECT_EQ(listing.open_handles, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ListFailureTest,
    ::testing::Values(
        ListFailure{"CreateFileA", 5, 2, "createfile failed\r\n"},
        ListFailure{"DeviceIoControl", 31, 2, "DeviceIoControl failed:31\r\n"},
        ListFailure{"CreateFileA", 5, 3,
                    "ok 2 virtualdisk(s) found\r\ncreatefile failed\r\n"
                    "000100\t2\tmemory\r\n"},
        ListFailure{"DeviceIoControl", 1, 3,
                    "ok 2 virtualdisk(s) found\r\nfailed:1\r\n"
                    "000100\t2\tmemory\r\n"},
        ListFailure{"WideCharToMultiByte", 87, 0,
                    "ok 2 virtualdisk(s) found\r\n000000\t1\tmemory\r\n"
                    "000100\t2\tmemory\r\n"}));

}  // namespace
}  // namespace dorvane
