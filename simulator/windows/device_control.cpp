#include "simulator/windows/device_control.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "runtime/bytes.h"
#include "simulator/windows/code_pages.h"
#include "simulator/windows/host_files.h"
#include "simulator/windows/kernel_file_names.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {
namespace {

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
