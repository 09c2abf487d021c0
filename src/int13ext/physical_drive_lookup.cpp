#include "int13ext/physical_drive_lookup.h"

#include "int13ext/int13ext.h"
#include "platform/unique_handle.h"
#include "runtime/ascii.h"

namespace dorvane {
namespace {

constexpr std::size_t kScsiAddressSize = 8;

void PutHexByte(std::uint8_t value, char* at) {
  at[0] = kHexDigits[value >> 4];
  at[1] = kHexDigits[value & 0xF];
}

}  // namespace

bool FindPhysicalDrive(Platform& platform, std::uint8_t port,
                       std::string_view address, DrivePath* drive_path) {
  for (unsigned number = 0; number <= 255; ++number) {
    const std::uint8_t drive = static_cast<std::uint8_t>(number);
    // Only a drive the parameter probe answers for is asked its address;
    // the parameters themselves are not needed.
    DriveParams scratch;
    if (!GetDriveParams(platform, drive, &scratch)) continue;
    const DrivePath path = FormatDrivePath(drive);
    UniqueHandle device(
        platform, platform.CreateFileA(path.text, kGenericRead | kGenericWrite,
                                       kFileShareRead | kFileShareWrite,
                                       kOpenExisting, 0));
    if (!device) continue;
    std::uint8_t answer[kScsiAddressSize] = {};
    std::uint32_t returned = 0;
    if (!platform.DeviceIoControl(device.get(), kIoctlScsiGetAddress, nullptr,
                                  0, answer, sizeof answer, &returned)) {
      continue;
    }
    // SCSI_ADDRESS: Length, PortNumber, PathId, TargetId, Lun.
    char text[6];
    PutHexByte(answer[7], text);
    PutHexByte(answer[6], text + 2);
    PutHexByte(answer[5], text + 4);
    if (answer[4] == port && address == std::string_view(text, sizeof text)) {
      *drive_path = path;
      return true;
    }
  }
  return false;
}

}  // namespace dorvane
