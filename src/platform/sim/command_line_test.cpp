#include "platform/sim/command_line.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

TEST(CommandLineTest, QuotesOnlyWhatNeedsIt) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {{"dorvane"}, "dorvane"},
      {{"./dorvane", "vm", "new", "64"}, "./dorvane vm new 64"},
      {{"dorvane", "file", "add", "C:\\my disks\\a.img"},
       "dorvane file add \"C:\\my disks\\a.img\""},
      {{"dorvane", "a\tb"}, "dorvane \"a\tb\""},
      {{"dorvane", "", "list"}, "dorvane \"\" list"},
      {{"dorvane", "say\"hi\"", "caf\xC3\xA9"},
       "dorvane say\"hi\" caf\xC3\xA9"},
      {{"/opt/my tools/dorvane", "list"}, "\"/opt/my tools/dorvane\" list"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildCommandLine(c.args), c.line);
}

}  // namespace
}  // namespace dorvane::sim
