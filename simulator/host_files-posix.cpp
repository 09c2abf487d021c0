#include <dlfcn.h>
#include <errno.h>
#include <sys/stat.h>

#include "simulator/file_time.h"
#include "simulator/host_files.h"

namespace dorvane::sim {

std::string ResolveHostPath(const std::string& directory,
                            const std::string& name) {
  std::string path = name;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (directory.empty() || (!path.empty() && path[0] == '/')) return path;
  return directory + "/" + path;
}

std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info) {
  struct stat st;
  if (path.empty()) return 2;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == EACCES) return 5;
    // As on Windows: a missing folder on the way is 3, a missing file 2.
    if (errno == ENOTDIR) return 3;
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 2 : 3;
  }
  info->directory = S_ISDIR(st.st_mode);
  info->size = info->directory ? 0 : static_cast<std::uint64_t>(st.st_size);
  info->write_time = FileTimeFromUnix(
      st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec));
  info->access_time = FileTimeFromUnix(
      st.st_atim.tv_sec, static_cast<std::uint32_t>(st.st_atim.tv_nsec));
  return 0;
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
