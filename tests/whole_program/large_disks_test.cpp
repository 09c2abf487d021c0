// Sizes past 32 bits through the whole tool: a disk of 4096 MB or more is
// created with its size in bytes and listed with its megabytes, whether the
// size comes from the command line or from a backing file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/kit/temp_directory.h"
#include "tests/whole_program/tool_run.h"
#include "tests/whole_program/written_streams.h"

namespace dorvane {
namespace {

TEST(LargeDisksTest, AreListedWithTheirMegabytes) {
  testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  // 4097 MB and one byte, of which the file system stores next to nothing.
  directory.WriteFile("large.img", "");
  std::filesystem::resize_file(directory.path() + "/large.img",
                               4097 * 1048576ull + 1);
  const std::string image = directory.drive_path() + "\\large.img";
  const char* const kDrive = "\t\\\\.\\PhysicalDrive1";
  const std::pair<std::string, std::string> cases[] = {
      {"vm new 4096", "4096\tmemory"},
      {"pm new $1001", "4097\t\\??\\awealloc"},
      {"vm new x7FFF", "32767\tmemory"},
      {"file add " + image, "4097\t\\??\\" + image}};
  for (const auto& [create, listed] : cases) {
    sim::SimMachine machine = sim::SimMachine::Default();
    testing::RunTool(machine, "dorvane " + create);
    EXPECT_EQ(testing::SplitCrLfLines(testing::Written(
                  testing::RunTool(machine, "dorvane list"), false, true)),
              (std::vector<std::string>{"Dorvane v0.3 by dorvane@example.org",
                                        "ok 1 virtualdisk(s) found",
                                        "000000\t" + listed + kDrive}))
        << create;
  }
}

}  // namespace
}  // namespace dorvane
