#include "simulator/windows/host_files.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "simulator/windows/kernel_file_names.h"
#include "simulator/windows/windows_values.h"
#include "tests/kit/temp_directory.h"

namespace dorvane::sim {
namespace {

// A file of the scratch folder, by the name the simulated machine gives it.
TEST(HostFilesTest, DriveZReachesTheScratchFolder) {
  testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  directory.WriteFile("x.img", "12345");
  std::string path;
  ASSERT_EQ(KernelNameToHostPath(directory.drive_path() + "\\x.img", &path), 0u)
      << directory.drive_path();
  HostFileInfo info;
  ASSERT_EQ(StatHostFile(path, &info), 0u) << path;
  EXPECT_FALSE(info.directory);
  EXPECT_EQ(info.size, 5u);
  ASSERT_EQ(KernelNameToHostPath(directory.drive_path(), &path), 0u);
  EXPECT_EQ(StatHostFile(path, &info), 0u) << path;
  EXPECT_TRUE(info.directory);
  EXPECT_EQ(StatHostFile(path + "/none", &info), kErrorFileNotFound);
  EXPECT_EQ(StatHostFile(path + "/none/x.img", &info), kErrorPathNotFound);
}

// Sizes and times past 32 bits: 4 GiB and one byte, and a FILETIME of now.
TEST(HostFilesTest, SizesAndTimesKeepTheirHighBits) {
  testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  const std::string file = directory.path() + "/large.img";
  directory.WriteFile("large.img", "");
  std::filesystem::resize_file(file, (std::uint64_t{1} << 32) + 1);
  const std::int64_t now = std::time(nullptr);
  HostFileInfo info;
  ASSERT_EQ(StatHostFile(file, &info), 0u);
  EXPECT_EQ(info.size, (std::uint64_t{1} << 32) + 1);
  // 100-nanosecond steps since 1601; a day either way for the clocks.
  const auto filetime = [](std::int64_t unix_seconds) {
    return static_cast<std::uint64_t>(unix_seconds + 11644473600) * 10000000;
  };
  EXPECT_GT(info.write_time, filetime(now - 86400));
  EXPECT_LT(info.write_time, filetime(now + 86400));
}

}  // namespace
}  // namespace dorvane::sim
