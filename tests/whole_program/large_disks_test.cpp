// Sizes past 32 bits through the whole tool: a disk of 4096 MB or more is
// created with its size in bytes, and listed with its megabytes, whether
// the size comes from the command line or from a backing file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/kit/temp_directory.h"
#include "tests/whole_program/tool_run.h"
#include "tests/whole_program/written_streams.h"

namespace dorvane {
namespace {

constexpr std::uint64_t kMegabyte = 1048576;

// list's line for the machine's one disk.
std::string ListedDisk(sim::SimMachine& machine) {
  const std::vector<std::string> lines = testing::SplitCrLfLines(
      testing::Written(testing::RunTool(machine, "dorvane list"), false, true));
  EXPECT_EQ(lines.size(), 3u);
  return lines.size() == 3 ? lines[2] : std::string();
}

TEST(LargeDisksTest, ListTheirMegabytes) {
  struct Case {
    const char* size;
    const char* megabytes;
  };
  const Case cases[] = {
      {"4096", "4096"}, {"$1001", "4097"}, {"x7FFF", "32767"}};
  for (const Case& c : cases) {
    sim::SimMachine machine = sim::SimMachine::Default();
    testing::RunTool(machine, std::string("dorvane vm new ") + c.size);
    EXPECT_EQ(ListedDisk(machine), std::string("000000\t") + c.megabytes +
                                       "\tmemory\t\\\\.\\PhysicalDrive1")
        << c.size;
  }
}

TEST(LargeDisksTest, TakeTheirSizeFromALargeFile) {
  testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  // 4097 MB and one byte, of which the file system stores next to nothing.
  const std::string image = directory.path() + "/large.img";
  directory.WriteFile("large.img", "");
  std::filesystem::resize_file(image, 4097 * kMegabyte + 1);
  sim::SimMachine machine = sim::SimMachine::Default();
  const std::string name = directory.drive_path() + "\\large.img";
  testing::RunTool(machine, "dorvane file add " + name);
  EXPECT_EQ(ListedDisk(machine),
            "000000\t4097\t\\??\\" + name + "\t\\\\.\\PhysicalDrive1");
}

}  // namespace
}  // namespace dorvane
