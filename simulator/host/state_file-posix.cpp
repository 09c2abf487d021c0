#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "simulator/host/state_file.h"
#include "simulator/machine_text.h"

namespace dorvane::sim {
namespace {

bool Set(const char* value) { return value != nullptr && *value != '\0'; }

std::string Describe(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + strerror(errno);
}

// mkdir -p of the directory that holds path.
bool MakeParentDirectories(const std::string& path, std::string* error) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    std::string directory = path.substr(0, slash);
    if (::mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST) {
      *error = Describe("cannot create", directory);
      return false;
    }
  }
  return true;
}

// open(2), but never on descriptors 0 to 2: when the process was started
// with a standard stream closed, the tool's output must fail as a write to
// a closed handle does, not land in the machine's files.
int OpenAboveStandardStreams(const char* path, int flags, mode_t mode = 0) {
  int fd = ::open(path, flags, mode);
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int saved_errno = errno;
  ::close(fd);
  errno = saved_errno;
  return moved;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string StateFilePath() {
  const char* state = getenv("DORVANE_SIM_STATE");
  const char* xdg_state_home = getenv("XDG_STATE_HOME");
  const char* home = getenv("HOME");
  if (Set(state)) return state;
  if (Set(xdg_state_home)) {
    return std::string(xdg_state_home) + "/dorvane/machine";
  }
  if (Set(home)) return std::string(home) + "/.local/state/dorvane/machine";
  return "";
}

StateFile::~StateFile() {
  if (lock_fd_ >= 0) ::close(lock_fd_);  // closing releases the lock
}

bool StateFile::Lock(const std::string& path, std::string* error) {
  if (path.empty()) {
    *error = "no place for the machine state: set DORVANE_SIM_STATE or HOME";
    return false;
  }
  if (!MakeParentDirectories(path, error)) return false;
  std::string lock_path = path + ".lock";
  int fd = OpenAboveStandardStreams(lock_path.c_str(),
                                    O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = Describe("cannot open", lock_path);
    return false;
  }
  int result;
  do {
    result = ::flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    *error = Describe("cannot lock", lock_path);
    ::close(fd);
    return false;
  }
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = fd;
  path_ = path;
  return true;
}

bool StateFile::Load(SimMachine* machine, std::string* error) {
  if (lock_fd_ < 0) {
    *error = "the machine state is not locked";
    return false;
  }
  int fd = OpenAboveStandardStreams(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    *machine = SimMachine::Default();
    return true;
  }
  if (fd < 0) {
    *error = Describe("cannot open", path_);
    return false;
  }
  std::string text;
  char chunk[4096];
  ssize_t n;
  while ((n = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = Describe("cannot read", path_);
      ::close(fd);
      return false;
    }
    text.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (text.empty()) {
    *machine = SimMachine::Default();
    return true;
  }
  if (!LoadMachine(text, machine)) {
    *error = path_ +
             " holds no machine state of this version; "
             "`dorvane-sim reset` starts afresh";
    return false;
  }
  return true;
}

bool StateFile::Save(const SimMachine& machine, std::string* error) {
  if (lock_fd_ < 0) {
    *error = "the machine state is not locked";
    return false;
  }
  // Only the lock holder writes, so one fixed temporary name is enough.
  std::string temporary = path_ + ".tmp";
  int fd = OpenAboveStandardStreams(
      temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = Describe("cannot create", temporary);
    return false;
  }
  bool written = WriteAll(fd, SaveMachine(machine));
  if (::close(fd) != 0 || !written) {
    *error = Describe("cannot write", temporary);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::rename(temporary.c_str(), path_.c_str()) != 0) {
    *error = Describe("cannot replace", path_);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace dorvane::sim
