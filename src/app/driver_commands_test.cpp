#include "app/driver_commands.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <cstring>
#include <ostream>
#include <string>

#include "simulator/test/temp_directory.h"
#include "simulator/test/tool_run.h"

namespace dorvane {
namespace {

using testing::kBanner;

const char kMissing[] =
    "devcon.exe not found\r\n"
    "download devcon.exe from "
    "https://learn.microsoft.com/windows-hardware/drivers/devtest/devcon\r\n"
    "or use add legacy hardware in device manager\r\n"
    "\r\n";
const char kReboot[] = "you may want to reboot (if running XP)\r\n";

struct Case {
  const char* command_line;
  bool ancient_devcon;  // devcon.exe last written in 1970
  std::uintptr_t shell_result;
  std::string out;         // after the banner
  const char* parameters;  // of the launch; nullptr when none
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.command_line; }

// The transcript suite walks the ordinary cases on both backends; these are
// the ones only the simulated machine can set up.
class DriverCommandsTest : public ::testing::TestWithParam<Case> {};

TEST_P(DriverCommandsTest, WritesTheOutcome) {
  const Case& c = GetParam();
  testing::TempDirectory directory;
  const std::string devcon =
      directory.WriteFile("devcon.exe", testing::TempDirectory::ProgramImage());
  if (c.ancient_devcon) {
    struct timeval times[2] = {{86400, 0}, {86400, 0}};
    ASSERT_EQ(utimes(devcon.c_str(), times), 0);
  }
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.shell_result = c.shell_result;
  sim::SimPlatform platform(machine, c.command_line);
  platform.SetCurrentDirectory(directory.path());
  EXPECT_EQ(RunDorvane(platform), 0);
  EXPECT_EQ(platform.open_handles(), 0u);
  EXPECT_EQ(platform.out().text(), kBanner + c.out);
  if (c.parameters == nullptr) {
    EXPECT_TRUE(machine.launches.empty());
  } else {
    ASSERT_EQ(machine.launches.size(), 1u);
    EXPECT_EQ(machine.launches[0].file, "devcon.exe");
    EXPECT_EQ(machine.launches[0].parameters, c.parameters);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverCommandsTest,
    ::testing::Values(
        // No DOS date for a time before 1980: no devcon.exe, and the last
        // error is that of the failed conversion.
        Case{"dorvane driver install x.inf", true, 42,
             kMissing + std::string("install failed,87\r\n"), nullptr},
        Case{"dorvane driver install \"C:\\my drivers\\disk.inf\"", false, 42,
             std::string("driver installation ok\r\n") + kReboot +
                 "install ok\r\n",
             "install \"C:\\my drivers\\disk.inf\" ROOT\\PhDskMnt"},
        // The shell refuses the launch.
        Case{"dorvane driver install x.inf", false, 2,
             std::string("driver installation failed\r\n") + kReboot +
                 "install failed,2\r\n",
             "install \"x.inf\" ROOT\\PhDskMnt"},
        Case{"dorvane driver remove", false, 32,
             std::string("driver uninstallation failed\r\n") + kReboot +
                 "remove failed,32\r\n",
             "remove ROOT\\PhDskMnt"}));

}  // namespace
}  // namespace dorvane
