#include "simulator/windows/kernel_file_names.h"

#include <vector>

#include "runtime/ascii.h"
#include "simulator/windows/host_files.h"
#include "simulator/windows/windows_values.h"
#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

bool IsDrive(const std::string& part) {
  return part.size() == 2 && part[1] == ':' && ToLowerAscii(part[0]) >= 'a' &&
         ToLowerAscii(part[0]) <= 'z';
}

}  // namespace

std::uint32_t KernelNameToHostPath(const std::string& name, std::string* path) {
  // The host's own spelling of a file, as a user of the host build types
  // it: no Windows name starts with a slash.
  if (!name.empty() && name[0] == '/') {
    *path = name;
    return 0;
  }
  std::vector<std::string> parts(1);
  for (char c : name) {
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  // A trailing backslash asks for a folder; the kernel does not resolve
  // "." and "..", so they are as invalid as an empty part.
  const bool folder = parts.size() > 1 && parts.back().empty();
  if (folder) parts.pop_back();
  for (const std::string& part : parts) {
    if (part.empty() || part == "." || part == "..") return kErrorInvalidName;
  }
  // Without a drive the first part names an object of the DOS device
  // directory: of those a name can reach, only NUL, the null device.
  if (!IsDrive(parts[0])) {
    if (parts.size() == 1 && !folder && SameWindowsName(parts[0], "NUL")) {
      *path = kHostNullDevice;
      return 0;
    }
    return parts.size() == 1 ? kErrorFileNotFound : kErrorPathNotFound;
  }
  if (ToLowerAscii(parts[0][0]) != 'z') {
    return parts.size() <= 2 ? kErrorFileNotFound : kErrorPathNotFound;
  }
  const std::uint32_t error = HostPathOnDriveZ(
      std::vector<std::string>(parts.begin() + 1, parts.end()), path);
  if (error == 0 && folder && parts.size() > 1) *path += "/";
  return error;
}

}  // namespace dorvane::sim
