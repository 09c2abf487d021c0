#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "platform/platform.h"
#include "simulator/windows/host_files.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {
namespace {

// A host time as a FILETIME: 100-nanosecond steps since 1601-01-01 UTC;
// times before 1601 become 0.
std::uint64_t FileTimeFromUnix(const struct timespec& time) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  if (time.tv_sec < -kSecondsFrom1601To1970) return 0;
  return static_cast<std::uint64_t>(time.tv_sec + kSecondsFrom1601To1970) *
             10000000 +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

}  // namespace

const char kHostNullDevice[] = "/dev/null";

std::uint32_t HostPathOnDriveZ(const std::vector<std::string>& parts,
                               std::string* path) {
  *path = parts.empty() ? "/" : "";
  for (const std::string& part : parts) *path += "/" + part;
  return 0;
}

std::string DriveZName(const std::string& host_path) {
  std::string name = "Z:" + host_path;
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info) {
  struct stat st;
  if (path.empty()) return kErrorFileNotFound;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == EACCES) return kErrorAccessDenied;
    // As on Windows: a missing folder on the way is 3, a missing file 2.
    if (errno == ENOTDIR) return kErrorPathNotFound;
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
               ? kErrorFileNotFound
               : kErrorPathNotFound;
  }
  info->directory = S_ISDIR(st.st_mode);
  info->size = info->directory ? 0 : static_cast<std::uint64_t>(st.st_size);
  info->write_time = FileTimeFromUnix(st.st_mtim);
  return 0;
}

std::string MakeHostScratchFolder() {
  const char* temp = ::getenv("TMPDIR");
  std::string pattern = temp != nullptr && temp[0] == '/' ? temp : "/tmp";
  pattern += "/dorvane-test-XXXXXX";
  return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

bool HostModuleBase(const void* address, std::uintptr_t* base) {
  Dl_info dl_info;
  if (address == nullptr || ::dladdr(address, &dl_info) == 0 ||
      dl_info.dli_fbase == nullptr) {
    return false;
  }
  *base = reinterpret_cast<std::uintptr_t>(dl_info.dli_fbase);
  return true;
}

}  // namespace dorvane::sim
