#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "simulator/host/fd_stream.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {
namespace {

std::uint32_t WindowsError(int error_number) {
  switch (error_number) {
    case EPIPE:
      return kErrorNoData;
    case ENOSPC:
      return kErrorDiskFull;
    case EBADF:
      return kErrorInvalidHandle;
    default:
      return kErrorWriteFault;
  }
}

}  // namespace

bool FdStream::Write(const void* data, std::uint32_t size,
                     std::uint32_t* written, std::uint32_t* error) {
  const char* bytes = static_cast<const char*>(data);
  std::uint32_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd_, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *written = done;
      *error = WindowsError(n < 0 ? errno : EIO);
      return false;
    }
    done += static_cast<std::uint32_t>(n);
  }
  *written = done;
  return true;
}

std::uint32_t FdStream::FileType() const {
  if (::isatty(fd_) == 1) return kFileTypeChar;
  struct stat status;
  if (::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode)) {
    return kFileTypeDisk;
  }
  return kFileTypePipe;
}

}  // namespace dorvane::sim
