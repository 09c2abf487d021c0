// Values past 32 bits through the tool and the machine under it: disks of
// 4096 MB or more, sized on the command line or by a backing file, created
// and listed. (A host file's time, a FILETIME, is whole or devcon.exe is
// not found: the fault sweep's driver scenarios fail.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/kit/temp_directory.h"
#include "tests/whole_program/tool_run.h"
#include "tests/whole_program/written_streams.h"

namespace dorvane {
namespace {

TEST(LargeValuesTest, DisksAreListedWithTheirMegabytes) {
  test::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  // 4097 MB and one byte, of which the file system stores next to nothing.
  directory.WriteFile("large.img", "");
  std::filesystem::resize_file(directory.path() + "/large.img",
                               4097 * 1048576ull + 1);
  const std::string image = directory.drive_path() + "\\large.img";
  const std::pair<std::string, std::string> cases[] = {
      {"vm new 4096", "4096\tmemory"},
      {"pm new $1001", "4097\t\\??\\awealloc"},
      {"file add " + image, "4097\t\\??\\" + image}};
  for (const auto& [create, listed] : cases) {
    sim::SimMachine machine = sim::SimMachine::Default();
    test::RunTool(machine, "dorvane " + create);
    EXPECT_EQ(
        test::Written(test::RunTool(machine, "dorvane list"), false, true),
        "Dorvane v0.3 by dorvane@example.org\r\nok 1 virtualdisk(s) "
        "found\r\n000000\t" +
            listed + "\t\\\\.\\PhysicalDrive1\r\n");
  }
}

}  // namespace
}  // namespace dorvane
