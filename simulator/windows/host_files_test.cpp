#include "simulator/windows/host_files.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "simulator/windows/kernel_file_names.h"
#include "simulator/windows/windows_values.h"
#include "tests/kit/temp_directory.h"

namespace dorvane::sim {
namespace {

// A file of the scratch folder, by the name the simulated machine gives it:
// its size (4 GiB and one byte) and time (a FILETIME of now) keep the bits
// past 32.
TEST(HostFilesTest, DriveZReachesTheScratchFolderWithWholeSizesAndTimes) {
  testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  directory.WriteFile("x.img", "");
  std::filesystem::resize_file(directory.path() + "/x.img", (1ull << 32) + 1);
  const std::int64_t now = std::time(nullptr);
  std::string folder, file;
  ASSERT_EQ(KernelNameToHostPath(directory.drive_path(), &folder), 0u);
  ASSERT_EQ(KernelNameToHostPath(directory.drive_path() + "\\x.img", &file),
            0u);
  HostFileInfo info;
  ASSERT_EQ(StatHostFile(folder, &info), 0u) << folder;
  EXPECT_TRUE(info.directory);
  ASSERT_EQ(StatHostFile(file, &info), 0u) << file;
  EXPECT_FALSE(info.directory);
  EXPECT_EQ(info.size, (1ull << 32) + 1);
  // 100-nanosecond steps since 1601; a day either way for the clocks.
  EXPECT_NEAR(static_cast<double>(info.write_time),
              (static_cast<double>(now) + 11644473600.0) * 1e7, 864e9);
  EXPECT_EQ(StatHostFile(folder + "/none", &info), kErrorFileNotFound);
  EXPECT_EQ(StatHostFile(folder + "/none/x.img", &info), kErrorPathNotFound);
}

}  // namespace
}  // namespace dorvane::sim
