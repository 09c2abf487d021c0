#include "simulator/windows/device_control.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "runtime/ascii.h"
#include "runtime/bytes.h"
#include "simulator/windows/code_pages.h"
#include "simulator/windows/host_files.h"
#include "simulator/windows/windows_values.h"
#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

bool IsDrive(const std::string& part) {
  return part.size() == 2 && part[1] == ':' && ToLowerAscii(part[0]) >= 'a' &&
         ToLowerAscii(part[0]) <= 'z';
}

// Names as the driver opens them, after "\??\": a drive path leads to a
// file. Drive Z: holds the host's files (host_files.h says how); every
// other drive letter is an empty disk. A driver has no current directory:
// a name without a drive is looked up in the DOS device directory, where
// only NUL is found. On the host build a name that starts with a slash is
// the host's own absolute path.
//
// 0 and the host path of the file (of the root folder for Z: alone; ending
// in "/" when a trailing backslash asks for a folder; for NUL the host's
// null device), or the Windows error the kernel gives the name: 123 for an
// empty part ("\\", a leading backslash) or a "." or ".." part; 2 for a
// name without a drive, an empty drive or a file on it; 3 for a name with
// folders but without a drive, or a folder on an empty drive.
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

constexpr std::uint32_t kGeometrySize = 24;
constexpr std::uint32_t kAddressSize = 8;

std::uint32_t HostFileSize(void* /*context*/, const std::uint16_t* path,
                           std::uint32_t units, std::int64_t* size) {
  std::string host_path;
  std::uint32_t error =
      KernelNameToHostPath(EncodeAnsi(kCodePageUtf8, path, units), &host_path);
  if (error != 0) return error;
  const bool folder = host_path.size() > 1 && host_path.back() == '/';
  if (folder) host_path.pop_back();
  HostFileInfo info;
  error = StatHostFile(host_path, &info);
  if (error != 0) return error;
  // An image has to be a file: opening a directory for data is refused,
  // and a file named as a folder is no name at all.
  if (info.directory) return kErrorAccessDenied;
  if (folder) return kErrorInvalidName;
  *size = static_cast<std::int64_t>(info.size);
  return 0;
}

// METHOD_BUFFERED: the driver works in a system buffer, and what it returns
// is copied back.
std::uint32_t MiniportRequest(SimMachine& machine, std::uint8_t* buffer,
                              std::uint32_t size, std::uint32_t* returned) {
  std::vector<std::uint8_t> system(buffer, buffer + size);
  std::uint32_t answered = 0;
  std::uint32_t error =
      dm_miniport_request(&machine.driver, system.data(), size, size, &answered,
                          HostFileSize, nullptr);
  machine.SyncVirtualDrives();
  if (error != 0) return error;
  *returned = std::min(answered, size);
  std::copy_n(system.begin(), *returned, buffer);
  return 0;
}

std::uint32_t DriveGeometry(const PhysicalDrive& drive, std::uint8_t* out,
                            std::uint32_t* returned) {
  if (drive.refuse_geometry) return kErrorNotReady;
  PutU64(out, static_cast<std::uint64_t>(drive.cylinders));
  PutU32(out + 8, drive.media_type);
  PutU32(out + 12, drive.tracks_per_cylinder);
  PutU32(out + 16, drive.sectors_per_track);
  PutU32(out + 20, drive.bytes_per_sector);
  *returned = kGeometrySize;
  return 0;
}

std::uint32_t ScsiAddress(const PhysicalDrive& drive, std::uint8_t* out,
                          std::uint32_t* returned) {
  if (drive.refuse_address) return kErrorNotSupported;
  PutU32(out, kAddressSize);
  out[4] = drive.port;
  out[5] = drive.path_id;
  out[6] = drive.target_id;
  out[7] = drive.lun;
  *returned = kAddressSize;
  return 0;
}

}  // namespace

std::uint32_t DeviceControl(SimMachine& machine, const Device& device,
                            std::uint32_t code, std::uint8_t* buffer,
                            std::uint32_t size, std::uint32_t* returned) {
  *returned = 0;
  if (device.kind == DeviceKind::kDriverAdapter && code == kIoctlScsiMiniport) {
    return MiniportRequest(machine, buffer, size, returned);
  }
  if (device.kind == DeviceKind::kDisk) {
    const PhysicalDrive* drive = machine.FindDrive(device.drive_number);
    if (drive == nullptr) return kErrorFileNotFound;
    if (code == kIoctlDiskGetDriveGeometry) {
      return DriveGeometry(*drive, buffer, returned);
    }
    if (code == kIoctlScsiGetAddress) {
      return ScsiAddress(*drive, buffer, returned);
    }
  }
  // Ordinary ports and RAID ports of other drivers know no PhDskMnt request.
  return kErrorInvalidFunction;
}

}  // namespace dorvane::sim
