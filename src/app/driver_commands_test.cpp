#include "app/driver_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "test/tool_run.h"

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

enum class Devcon { kAbsent, kFile, kDirectory, kAncientFile };

class DriverCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dorvane-devcon-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override {
    std::string command = "rm -rf '" + directory_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  void Place(Devcon devcon) {
    const std::string path = directory_ + "/devcon.exe";
    if (devcon == Devcon::kDirectory) {
      ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    } else if (devcon != Devcon::kAbsent) {
      std::ofstream(path) << "MZ";
      if (devcon == Devcon::kAncientFile) {
        struct timeval times[2] = {{86400, 0}, {86400, 0}};  // 1970
        ASSERT_EQ(utimes(path.c_str(), times), 0);
      }
    }
  }

  // Runs the tool in the directory; returns standard output after the
  // banner.
  std::string Run(const std::string& command_line) {
    sim::SimPlatform platform(machine_, command_line);
    platform.SetCurrentDirectory(directory_);
    EXPECT_EQ(RunDorvane(platform), 0);
    EXPECT_EQ(platform.open_handles(), 0u);
    EXPECT_EQ(platform.err().text(), "");
    return platform.out().text().substr(std::strlen(kBanner));
  }

  sim::SimMachine machine_ = sim::SimMachine::Default();
  std::string directory_;
};

struct Case {
  const char* command_line;
  Devcon devcon;
  std::uintptr_t shell_result;
  std::string out;         // a regular expression
  const char* parameters;  // of the launch; nullptr when none
};

class DriverCommandCaseTest : public DriverCommandsTest,
                              public ::testing::WithParamInterface<Case> {};

TEST_P(DriverCommandCaseTest, WritesTheOutcome) {
  const Case& c = GetParam();
  Place(c.devcon);
  machine_.shell_result = c.shell_result;
  EXPECT_THAT(Run(c.command_line), ::testing::MatchesRegex(c.out));
  if (c.parameters == nullptr) {
    EXPECT_TRUE(machine_.launches.empty());
  } else {
    ASSERT_EQ(machine_.launches.size(), 1u);
    EXPECT_EQ(machine_.launches[0].file, "devcon.exe");
    EXPECT_EQ(machine_.launches[0].parameters, c.parameters);
  }
}

std::string Quote(const std::string& text) {
  std::string quoted;
  for (char ch : text) {
    if (std::strchr("\\.()[]{}*+?^$|", ch) != nullptr) quoted += '\\';
    quoted += ch;
  }
  return quoted;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverCommandCaseTest,
    ::testing::Values(
        Case{"dorvane driver install", Devcon::kFile, 42,
             Quote("please provide a driver.inf\r\n"), nullptr},
        Case{"dorvane driver install x.inf", Devcon::kAbsent, 42,
             Quote(kMissing) + "install failed,2\r\n", nullptr},
        Case{"dorvane driver install x.inf", Devcon::kDirectory, 42,
             Quote(kMissing) + "install failed,[0-9]+\r\n", nullptr},
        Case{"dorvane driver install x.inf", Devcon::kAncientFile, 42,
             Quote(kMissing) + "install failed,[0-9]+\r\n", nullptr},
        Case{"dorvane driver install \"C:\\my drivers\\disk.inf\"",
             Devcon::kFile, 42,
             Quote(std::string("driver installation ok\r\n") + kReboot +
                   "install ok\r\n"),
             "install \"C:\\my drivers\\disk.inf\" ROOT\\PhDskMnt"},
        Case{"dorvane driver install x.inf", Devcon::kFile, 2,
             Quote(std::string("driver installation failed\r\n") + kReboot +
                   "install failed,") +
                 "[0-9]+\r\n",
             "install \"x.inf\" ROOT\\PhDskMnt"},
        Case{"dorvane driver remove", Devcon::kAbsent, 42,
             Quote(kMissing) + "remove failed,2\r\n", nullptr},
        Case{"dorvane driver remove", Devcon::kFile, 42,
             Quote(std::string("driver uninstallation ok\r\n") + kReboot +
                   "remove ok\r\n"),
             "remove ROOT\\PhDskMnt"},
        Case{"dorvane driver remove", Devcon::kFile, 32,
             Quote(std::string("driver uninstallation failed\r\n") + kReboot +
                   "remove failed,") +
                 "[0-9]+\r\n",
             "remove ROOT\\PhDskMnt"}));

TEST_F(DriverCommandsTest, RemoveAndInstallChangeWhatDriverCheckFinds) {
  Place(Devcon::kFile);
  EXPECT_EQ(Run("dorvane driver check"), "\\\\.\\scsi2: found\r\n");
  Run("dorvane driver remove");
  EXPECT_EQ(Run("dorvane driver check"),
            "no device found. please install driver.\r\n");
  Run("dorvane driver install x.inf");
  EXPECT_THAT(Run("dorvane driver check"),
              ::testing::MatchesRegex("\\\\\\\\\\.\\\\scsi[0-7]: found\r\n"));
}

}  // namespace
}  // namespace dorvane
