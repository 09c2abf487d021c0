#include "runtime/text_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

class TextOutputTest : public test::MachineTest {
 protected:
  void Use(bool console) {
    stream_ = sim::MemoryStream(console);
    platform_.SetStreams(&stream_, &errors_);
  }

  sim::MemoryStream stream_, errors_;
};

// A file or pipe gets the buffer when it is full and when it is flushed (the
// last LF alone, here); a console gets every line end.
TEST_F(TextOutputTest, WritesGoOutAsTheStreamTakesThem) {
  const std::string x(200, 'x'), d(46, 'd');
  for (bool console : {false, true}) {
    Use(console);
    TextOutput out(platform_);
    for (const std::string& line : {std::string("abc"), x, std::string(), d}) {
      ASSERT_FALSE(out.WriteLine(line));
    }
    ASSERT_FALSE(out.Flush());
    ASSERT_FALSE(out.Flush());  // nothing left to write
    EXPECT_EQ(stream_.write_sizes,
              (console ? std::vector<std::uint32_t>{5, 128, 74, 2, 48}
                       : std::vector<std::uint32_t>{128, 128, 1}));
    EXPECT_EQ(stream_.text(), "abc\r\n" + x + "\r\n\r\n" + d + "\r\n");
  }
}

// A write that takes part of the bytes is followed by one for the rest; one
// that takes nothing is an error (112, the disk is full).
TEST_F(TextOutputTest, ShortWritesGoOnUntilNothingIsTaken) {
  Use(false);
  stream_.max_write = 50;
  TextOutput out(platform_);
  ASSERT_FALSE(out.WriteLine(std::string(200, 'x')));
  ASSERT_FALSE(out.Flush());
  EXPECT_EQ(stream_.write_sizes,
            (std::vector<std::uint32_t>{50, 50, 28, 50, 24}));
  EXPECT_EQ(stream_.text(), std::string(200, 'x') + "\r\n");
  stream_.max_write = 0;
  ASSERT_FALSE(out.WriteLine("lost"));
  EXPECT_EQ(out.Flush().message(), "I/O error 112");
}

// Where a failed write cuts the buffered text: the line it cut is not
// continued, the lines after it are written, and a line whose head was
// delivered is ended before them.
TEST_F(TextOutputTest, AFailedWriteLeavesNoTornLine) {
  struct Case {
    const char* what;
    bool console;
    std::vector<std::string> lines;
    std::uint32_t fail_after;  // WriteFile calls that succeed first
    std::size_t error_at;      // the line whose test raises the error
    std::string delivered;
  };
  const std::string a(100, 'a'), b(100, 'b'), d(126, 'd'), x(300, 'x'),
      y(130, 'y'), q = "p1\r\n" + std::string(130, 'q') + "\r\nlast";
  const std::string cr(127, 'd'), f = "\r\nf\r\n", head = x.substr(0, 128);
  const Case cases[] = {
      {"cut inside a line", false, {a, b, "c"}, 0, 1, "c\r\n"},
      {"cut at a line end", false, {d, "e"}, 0, 0, "e\r\n"},
      {"cut between CR and LF", false, {d + "d", "e"}, 0, 0, "e\r\n"},
      {"later, after a line's head", false, {x, "f"}, 1, 0, head + f},
      {"later, after a line's CR", false, {cr, x, "f"}, 1, 1, cr + f},
      {"later, after a whole line", false, {d, x, "f"}, 1, 1, d + f},
      {"console, a long line", true, {y, "g"}, 0, 0, "g\r\n"},
      {"console, lines in one piece", true, {q}, 0, 0, "last\r\n"},
  };
  for (const Case& c : cases) {
    Use(c.console);
    TextOutput out(platform_);
    machine_.Fail("WriteFile", 232, 1, c.fail_after);
    std::size_t error_at = c.lines.size();
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      Error error = out.WriteLine(c.lines[i]);
      if (!error || error_at != c.lines.size()) continue;
      error_at = i;
      EXPECT_EQ(error.error_class(), ErrorClass::kEInOutError);
      EXPECT_EQ(error.message(), "I/O error 232") << c.what;
    }
    EXPECT_FALSE(out.Flush()) << c.what;
    EXPECT_EQ(error_at, c.error_at) << c.what;
    EXPECT_EQ(stream_.text(), c.delivered) << c.what;
  }
}

}  // namespace
}  // namespace dorvane
