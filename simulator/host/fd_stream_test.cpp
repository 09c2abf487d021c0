#include "simulator/host/fd_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

namespace dorvane::sim {
namespace {

TEST(FdStreamTest, HostWriteErrorsBecomeWindowsErrors) {
  // As the host programs do, so that a closed pipe is an error, not a signal.
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previous);
  int open_pipe[2], closed_pipe[2];
  ASSERT_EQ(pipe(open_pipe), 0);
  ASSERT_EQ(pipe(closed_pipe), 0);
  close(closed_pipe[0]);
  int full = open("/dev/full", O_WRONLY);
  int gone = dup(open_pipe[0]);
  close(gone);
  struct Case {
    const char* what;
    int fd;
    bool ok;
    std::uint32_t written, error;
  };
  const Case cases[] = {
      {"pipe", open_pipe[1], true, 7, 0},
      {"closed pipe", closed_pipe[1], false, 0, 232},
      {"full disk", full, false, 0, 112},
      {"closed descriptor", gone, false, 0, 6},
  };
  for (const Case& c : cases) {
    if (c.fd < 0) continue;  // no /dev/full on this host
    std::uint32_t written = 99, error = 0;
    EXPECT_EQ(FdStream(c.fd).Write("hello\r\n", 7, &written, &error), c.ok)
        << c.what;
    EXPECT_EQ(written, c.written) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
  sigaction(SIGPIPE, &previous, nullptr);
  char buffer[8] = {};
  EXPECT_EQ(read(open_pipe[0], buffer, 7), 7);
  EXPECT_STREQ(buffer, "hello\r\n");
  for (int fd : {open_pipe[0], open_pipe[1], closed_pipe[1], full}) {
    if (fd >= 0) close(fd);
  }
}

}  // namespace
}  // namespace dorvane::sim
