#include "app/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulator/sim_platform.h"

namespace dorvane {
namespace {

struct Split {
  const char* command_line;
  std::vector<std::string> arguments;  // after the program's name
  std::uint32_t code_page = 1252;
};

class ArgumentsTest : public ::testing::TestWithParam<Split> {};

TEST_P(ArgumentsTest, SplitsLikeTheTool) {
  const Split& s = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default();
  machine.code_page = s.code_page;
  sim::SimPlatform platform(machine, s.command_line);
  Arguments args(platform, s.command_line);
  ASSERT_EQ(args.count(), static_cast<int>(s.arguments.size()))
      << s.command_line;
  for (std::size_t i = 0; i < s.arguments.size(); ++i) {
    EXPECT_EQ(args.Get(static_cast<int>(i) + 1), s.arguments[i]) << i;
  }
  EXPECT_EQ(args.Get(args.count() + 1), "");
  EXPECT_EQ(args.Get(99), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ArgumentsTest,
    ::testing::Values(
        Split{"", {}}, Split{"dorvane", {}}, Split{"dorvane   ", {}},
        Split{"dorvane list", {"list"}},
        Split{"dorvane\tvm\x01new\x1f"
              "64",
              {"vm", "new", "64"}},
        Split{"\"C:\\Program Files\\dorvane.exe\" list", {"list"}},
        Split{"dorvane \"\"", {}}, Split{"dorvane \"\" list", {"list"}},
        Split{"dorvane \"\"\"\" list", {"list"}},
        Split{"dorvane a\"\"b", {"ab"}},
        Split{"dorvane file add \"C:\\my disks\\a.img\"",
              {"file", "add", "C:\\my disks\\a.img"}},
        Split{"dorvane a\"b c\"d e", {"ab cd", "e"}},
        Split{"dorvane \"unterminated stretch", {"unterminated stretch"}},
        Split{"dorvane x \"", {"x"}},
        Split{"dorvane C:\\dir\\ \\\"x", {"C:\\dir\\", "\\x"}},
        Split{"dorvane \xe9t\xe9 \xff", {"\xe9t\xe9", "\xff"}},
        // A UTF-8 character is one step: its bytes are never separators.
        Split{"dorvane \xc3\xa9\xe2\x80\x9c \"\xe6\x97\xa5 x\"",
              {"\xc3\xa9\xe2\x80\x9c", "\xe6\x97\xa5 x"},
              65001}));

}  // namespace
}  // namespace dorvane
