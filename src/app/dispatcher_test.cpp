#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "simulator/test/tool_run.h"
#include "simulator/windows_values.h"

namespace dorvane {
namespace {

using sim::SimMachine;
using testing::kBanner;
using testing::RunTool;
using testing::ToolRun;

const char kUsage[] =
    "Dorvane file add path\r\n"
    "Dorvane file new path size(MB)\r\n"
    "Dorvane file shm name\r\n"
    "Dorvane file remove id\r\n"
    "Dorvane vm add path\r\n"
    "Dorvane vm new size(MB)\r\n"
    "Dorvane vm remove id\r\n"
    "Dorvane pm add path\r\n"
    "Dorvane pm new size(MB)\r\n"
    "Dorvane pm remove id\r\n"
    "Dorvane list\r\n"
    "Dorvane removall\r\n"
    "Dorvane driver check\r\n"
    "Dorvane driver install driver.inf\r\n"
    "Dorvane driver remove\r\n";

const char kNoDevice[] = "no device found. please install driver.\r\n";

struct Transcript {
  const char* command_line;
  bool driver;
  std::string out;  // after the banner
};

class TranscriptTest : public ::testing::TestWithParam<Transcript> {};

TEST_P(TranscriptTest, WritesExactlyTheseLines) {
  const Transcript& t = GetParam();
  SimMachine machine = SimMachine::Default(t.driver);
  ToolRun run = RunTool(machine, t.command_line);
  EXPECT_EQ(run.out, kBanner + t.out) << t.command_line;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.open_handles, 0u);
}

// The transcript suite holds every command's lines on both backends; these
// few keep the dispatcher's own choices in the unit tests.
INSTANTIATE_TEST_SUITE_P(
    Commands, TranscriptTest,
    ::testing::Values(
        Transcript{"dorvane", true, kUsage},
        Transcript{"dorvane \"\"   \"\" ", false, kUsage},
        Transcript{"dorvane List", true, ""},
        Transcript{"dorvane driver Check", true, ""},
        Transcript{"dorvane vm delete 0", true, ""},
        Transcript{"dorvane driver check", true, "\\\\.\\scsi2: found\r\n"},
        Transcript{"dorvane vm new 64", true, "device 000000 added ok\r\n"},
        Transcript{"dorvane vm new 10x", true,
                   "AddVirtualDisk:'10x' is not a valid integer value\r\n"},
        Transcript{"dorvane vm remove FFFFFF", true, "device removed OK\r\n"},
        Transcript{"dorvane removall", true, "devices removed OK\r\n"},
        Transcript{"dorvane list", false, kNoDevice},
        Transcript{"dorvane vm new abc", false, kNoDevice},
        Transcript{"dorvane pm remove 1a", false, kNoDevice}));

// A remove converts its id outside every handler: the report goes to
// standard error and the exit code is 1, with or without an adapter.
struct BadId {
  const char* command_line;
  const char* message;
};

class BadIdTest : public ::testing::TestWithParam<BadId> {};

TEST_P(BadIdTest, EndsWithTheUncaughtErrorReport) {
  for (bool driver : {true, false}) {
    SimMachine machine = SimMachine::Default(driver);
    ToolRun run = RunTool(machine, GetParam().command_line);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_THAT(run.err,
                ::testing::MatchesRegex(
                    "Exception EConvertError in module dorvane\\.exe at "
                    "[0-9A-F]{8}\\.\r\n" +
                    std::string(GetParam().message) + "\r\n\r\n"));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(testing::MiniportRequests(run.calls).size() <= 2u)
        << "only discovery may talk to the driver";
    EXPECT_EQ(run.open_handles, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ids, BadIdTest,
    ::testing::Values(BadId{"dorvane vm remove zz",
                            "'\\$zz' is not a valid integer value\\."},
                      BadId{"dorvane file remove -5",
                            "'\\$-5' is not a valid integer value\\."}));

TEST(DispatcherTest, DiscoveryRunsOnceEveryRunAndAgainForDriverCheck) {
  struct Case {
    const char* command_line;
    std::size_t lookups;  // scsi0: to scsi2: once per discovery
  };
  for (const Case& c : {Case{"dorvane", 3}, Case{"dorvane List", 3},
                        Case{"dorvane driver check", 6}}) {
    SimMachine machine = SimMachine::Default();
    sim::SimPlatform platform(machine, c.command_line);
    EXPECT_EQ(RunDorvane(platform), 0);
    EXPECT_EQ(platform.CountCalls("QueryDosDeviceA"), c.lookups)
        << c.command_line;
  }
}

// Failures of the platform reach the user as the command's error line.
struct InjectedFailure {
  const char* command_line;
  const char* call;
  std::uint32_t error;
  std::uint32_t after;
  const char* out;
  std::uint32_t count = 1;
};

class InjectedFailureTest : public ::testing::TestWithParam<InjectedFailure> {};

TEST_P(InjectedFailureTest, IsReportedBehindThePrefix) {
  const InjectedFailure& f = GetParam();
  SimMachine machine = SimMachine::Default();
  machine.Fail(f.call, f.error, f.count, f.after);
  ToolRun run = RunTool(machine, f.command_line);
  EXPECT_EQ(run.out, kBanner + std::string(f.out));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.open_handles, 0u);
}

// Discovery opens scsi1: and scsi2:, so the command's own open is the third.
INSTANTIATE_TEST_SUITE_P(
    Prefixes, InjectedFailureTest,
    ::testing::Values(InjectedFailure{"dorvane vm new 1", "CreateFileA", 5, 2,
                                      "AddVirtualDisk:createfile failed\r\n"},
                      InjectedFailure{"dorvane removall", "DeviceIoControl", 31,
                                      2, "list:DeviceIoControl failed:31\r\n"},
                      InjectedFailure{"dorvane file remove 0",
                                      "DeviceIoControl", 4294967295u, 2,
                                      "DeviceIoControl failed:4294967295\r\n"},
                      // The second discovery of driver check finds nothing.
                      InjectedFailure{"dorvane driver check", "QueryDosDeviceA",
                                      2, 3, kNoDevice, 8}));

// Standard output that cannot be written: EInOutError, handled like any
// other error object.
struct OutputFailure {
  const char* title;
  bool console;
  std::uint32_t count;
  std::uint32_t after;
  std::string out;
  int exit_code;
  std::uint32_t disks;  // created before the failure ended the run
};

class OutputFailureTest : public ::testing::TestWithParam<OutputFailure> {};

TEST_P(OutputFailureTest, EndsAsTheConventionsSay) {
  const OutputFailure& f = GetParam();
  SimMachine machine = SimMachine::Default();
  machine.Fail("WriteFile", sim::kErrorNoData, f.count, f.after);
  ToolRun run = RunTool(machine, "dorvane vm new 1", f.console);
  EXPECT_EQ(run.out, f.out) << f.title;
  EXPECT_EQ(run.exit_code, f.exit_code) << f.title;
  if (f.exit_code == 0) {
    EXPECT_EQ(run.err, "") << f.title;
  } else {
    EXPECT_THAT(run.err,
                ::testing::MatchesRegex("Exception EInOutError in module "
                                        "dorvane\\.exe at [0-9A-F]{8}\\.\r\n"
                                        "I/O error 232\\.\r\n\r\n"))
        << f.title;
  }
  EXPECT_EQ(machine.driver.count, f.disks) << f.title;
  EXPECT_EQ(run.open_handles, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, OutputFailureTest,
    ::testing::Values(
        OutputFailure{"buffered output fails at exit", false, 1, 0, "", 1, 1},
        OutputFailure{"the banner fails on a console", true, 1, 0, "", 1, 0},
        OutputFailure{
            "the success line fails: the handler reports it", true, 1, 1,
            std::string(kBanner) + "AddVirtualDisk:I/O error 232\r\n", 0, 1},
        OutputFailure{"the handler's own line fails too", true, 2, 1, kBanner,
                      1, 1}));

TEST(DispatcherTest, QuotedPathKeepsItsBlanksAndLosesTheQuotes) {
  SimMachine machine = SimMachine::Default();
  ToolRun run = RunTool(machine, "dorvane file add \"C:\\my disks\\a.img\"");
  std::vector<std::uint8_t> request =
      testing::LastRequest(run.calls, CtlCreateDevice);
  ASSERT_EQ(request.size(), kDeviceRequestSize);
  const std::string sent = "\\??\\C:\\my disks\\a.img";  // 4 + 17 characters
  EXPECT_EQ(GetU16(request.data() + 60), 2 * sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(GetU16(request.data() + 62 + 2 * i),
              static_cast<unsigned char>(sent[i]));
  }
}

}  // namespace
}  // namespace dorvane
