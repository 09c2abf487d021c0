// A standard stream of the host process as the simulated process's
// standard output or error.
#pragma once

#include "simulator/windows/sim_stream.h"

namespace dorvane::sim {

class FdStream : public SimStream {
 public:
  explicit FdStream(int fd) : fd_(fd) {}
  // Writes everything, retrying short writes. Host errors become the
  // Windows errors a console or pipe write gives: a closed pipe 232, a full
  // disk 112, a bad descriptor 6, anything else 29 (write fault). The host
  // must ignore SIGPIPE for the closed pipe to be seen.
  bool Write(const void* data, std::uint32_t size, std::uint32_t* written,
             std::uint32_t* error) override;
  // A terminal is a console, a regular file a file, anything else a pipe.
  std::uint32_t FileType() const override;

 private:
  int fd_;
};

}  // namespace dorvane::sim
