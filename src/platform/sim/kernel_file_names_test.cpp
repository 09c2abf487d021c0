#include "platform/sim/kernel_file_names.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

TEST(KernelFileNamesTest, NamesMapToHostPathsOrErrors) {
  struct Case {
    const char* name;
    std::uint32_t error;
    const char* path;
  };
  const Case cases[] = {
      {"Z:\\tmp\\disk.img", 0, "/tmp/disk.img"},
      {"z:\\tmp\\my disks\\a.img", 0, "/tmp/my disks/a.img"},
      {"C:\\missing.img", 2, ""},  // an empty drive
      {"C:\\dir\\a.img", 3, ""},
      {"Q:\\a.img", 2, ""},
      {"\\tmp\\disk.img", 123, ""},
      {"Z:\\tmp\\\\disk.img", 123, ""},
      {"", 123, ""},
      {"Z:", 0, "/"},
      {"C:", 2, ""},
      // The driver has no current directory to take these against.
      {"disk.img", 2, ""},
      {"sub\\disk.img", 3, ""},
      {"Z:/tmp/disk.img", 2, ""},
  };
  for (const Case& c : cases) {
    std::string path = "unchanged";
    EXPECT_EQ(KernelNameToHostPath(c.name, &path), c.error) << c.name;
    if (c.error == 0) {
      EXPECT_EQ(path, c.path) << c.name;
    }
  }
}

}  // namespace
}  // namespace dorvane::sim
