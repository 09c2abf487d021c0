#include "platform/sim/fd_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

namespace dorvane::sim {
namespace {

struct WriteResult {
  bool ok;
  std::uint32_t written, error;
};

WriteResult WriteTo(int fd, const std::string& text) {
  FdStream stream(fd);
  WriteResult result{false, 99, 0};
  result.ok = stream.Write(text.data(), static_cast<std::uint32_t>(text.size()),
                           &result.written, &result.error);
  return result;
}

TEST(FdStreamTest, WritesEverythingToThePipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  WriteResult result = WriteTo(fds[1], "hello\r\n");
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.written, 7u);
  char buffer[16] = {};
  EXPECT_EQ(read(fds[0], buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "hello\r\n");
  EXPECT_FALSE(FdStream(fds[1]).IsConsole());
  close(fds[0]);
  close(fds[1]);
}

TEST(FdStreamTest, HostErrorsBecomeWindowsErrors) {
  // As the host programs do, so that a closed pipe is an error, not a signal.
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previous);

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  WriteResult closed_pipe = WriteTo(fds[1], "x");
  close(fds[1]);
  int full = open("/dev/full", O_WRONLY);
  WriteResult disk_full = WriteTo(full, "x");
  if (full >= 0) close(full);
  WriteResult bad = WriteTo(fds[1], "x");  // closed just now

  sigaction(SIGPIPE, &previous, nullptr);
  EXPECT_FALSE(closed_pipe.ok);
  EXPECT_EQ(closed_pipe.error, 232u);
  EXPECT_EQ(closed_pipe.written, 0u);
  if (full >= 0) {
    EXPECT_FALSE(disk_full.ok);
    EXPECT_EQ(disk_full.error, 112u);
  }
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.error, 6u);
}

TEST(FdStreamTest, TerminalIsAConsole) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) GTEST_SKIP() << "no pseudo terminals here";
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  EXPECT_TRUE(FdStream(terminal).IsConsole());
  close(terminal);
  close(master);
}

}  // namespace
}  // namespace dorvane::sim
