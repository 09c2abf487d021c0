#include "simulator/device_control.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "simulator/code_pages.h"
#include "simulator/host_files.h"
#include "simulator/kernel_file_names.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kErrorNotReady = 21;
constexpr std::uint32_t kGeometrySize = 24;
constexpr std::uint32_t kAddressSize = 8;

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t HostFileSize(void* /*context*/, const std::uint16_t* path,
                           std::uint32_t units, std::int64_t* size) {
  std::string host_path;
  std::uint32_t error =
      KernelNameToHostPath(Utf16ToUtf8(path, units), &host_path);
  if (error != 0) return error;
  HostFileInfo info;
  error = StatHostFile(host_path, &info);
  if (error != 0) return error;
  // An image has to be a file: opening a directory for data is refused.
  if (info.directory) return kErrorAccessDenied;
  *size = static_cast<std::int64_t>(info.size);
  return 0;
}

// METHOD_BUFFERED: the request works in one system buffer that holds the
// larger of both sizes; what the driver returns is copied back.
std::uint32_t MiniportRequest(SimMachine& machine, const void* in,
                              std::uint32_t in_size, void* out,
                              std::uint32_t out_size, std::uint32_t* returned) {
  std::vector<std::uint8_t> buffer(std::max(in_size, out_size));
  if (in_size > 0) std::memcpy(buffer.data(), in, in_size);
  std::uint32_t answered = 0;
  std::uint32_t error = dm_miniport_request(
      &machine.driver, buffer.empty() ? nullptr : buffer.data(), in_size,
      out_size, &answered, HostFileSize, nullptr);
  machine.SyncVirtualDrives();
  if (error != 0) return error;
  answered = std::min(answered, out_size);
  if (answered > 0) std::memcpy(out, buffer.data(), answered);
  *returned = answered;
  return 0;
}

std::uint32_t DriveGeometry(const PhysicalDrive& drive, void* out,
                            std::uint32_t out_size, std::uint32_t* returned) {
  if (drive.refuse_geometry) return kErrorNotReady;
  if (out == nullptr || out_size < kGeometrySize) {
    return kErrorInsufficientBuffer;
  }
  auto* p = static_cast<std::uint8_t*>(out);
  auto cylinders = static_cast<std::uint64_t>(drive.cylinders);
  PutU32(p, static_cast<std::uint32_t>(cylinders));
  PutU32(p + 4, static_cast<std::uint32_t>(cylinders >> 32));
  PutU32(p + 8, drive.media_type);
  PutU32(p + 12, drive.tracks_per_cylinder);
  PutU32(p + 16, drive.sectors_per_track);
  PutU32(p + 20, drive.bytes_per_sector);
  *returned = kGeometrySize;
  return 0;
}

std::uint32_t ScsiAddress(const PhysicalDrive& drive, void* out,
                          std::uint32_t out_size, std::uint32_t* returned) {
  if (drive.refuse_address) return kErrorNotSupported;
  if (out == nullptr || out_size < kAddressSize) {
    return kErrorInsufficientBuffer;
  }
  auto* p = static_cast<std::uint8_t*>(out);
  PutU32(p, kAddressSize);
  p[4] = drive.port;
  p[5] = drive.path_id;
  p[6] = drive.target_id;
  p[7] = drive.lun;
  *returned = kAddressSize;
  return 0;
}

}  // namespace

std::uint32_t DeviceControl(SimMachine& machine, const Device& device,
                            std::uint32_t code, const void* in,
                            std::uint32_t in_size, void* out,
                            std::uint32_t out_size, std::uint32_t* returned) {
  *returned = 0;
  if (device.kind == DeviceKind::kDriverAdapter && code == kIoctlScsiMiniport) {
    return MiniportRequest(machine, in, in_size, out, out_size, returned);
  }
  if (device.kind == DeviceKind::kDisk) {
    const PhysicalDrive* drive = machine.FindDrive(device.drive_number);
    if (drive == nullptr) return kErrorFileNotFound;
    if (code == kIoctlDiskGetDriveGeometry) {
      return DriveGeometry(*drive, out, out_size, returned);
    }
    if (code == kIoctlScsiGetAddress) {
      return ScsiAddress(*drive, out, out_size, returned);
    }
  }
  // Ordinary ports and RAID ports of other drivers know no PhDskMnt request.
  return kErrorInvalidFunction;
}

}  // namespace dorvane::sim
