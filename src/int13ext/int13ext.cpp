#include "int13ext/int13ext.h"

#include <cstring>

#include "platform/unique_handle.h"
#include "runtime/bytes.h"

namespace dorvane {
namespace {

// Written once at start-up, before any reader runs.
bool g_platform_is_nt = false;

constexpr std::uint16_t kRemovableMedia = 4;

// The floppy and removable formats of MEDIA_TYPE; 12 is a fixed disk.
bool IsRemovableMediaType(std::uint32_t media_type) {
  return (media_type >= 1 && media_type <= 11) ||
         (media_type >= 13 && media_type <= 22);
}

}  // namespace

DrivePath FormatDrivePath(std::uint8_t drive) {
  static const char kPrefix[] = "\\\\.\\PhysicalDrive";
  DrivePath path;
  std::memcpy(path.text, kPrefix, sizeof kPrefix - 1);
  char* at = path.text + sizeof kPrefix - 1;
  if (drive >= 100) *at++ = static_cast<char>('0' + drive / 100);
  if (drive >= 10) *at++ = static_cast<char>('0' + drive / 10 % 10);
  *at++ = static_cast<char>('0' + drive % 10);
  *at = '\0';
  return path;
}

bool IsWinNT(Platform& platform) {
  OsVersionInfo info;
  info.dwOSVersionInfoSize = kOsVersionInfoSize;
  return platform.GetVersionExA(&info) &&
         info.dwPlatformId == kVerPlatformWin32Nt;
}

void InitializePlatformFlag(Platform& platform) {
  g_platform_is_nt = IsWinNT(platform);
}

bool GetDriveGeometry(Platform& platform, std::uint8_t drive,
                      DiskGeometry* geometry) {
  UniqueHandle device(
      platform,
      platform.CreateFileA(FormatDrivePath(drive).text, 0,
                           kFileShareRead | kFileShareWrite, kOpenExisting, 0));
  if (!device) return false;
  std::uint8_t answer[kDiskGeometrySize] = {};
  std::uint32_t returned = 0;
  if (!platform.DeviceIoControl(device.get(), kIoctlDiskGetDriveGeometry,
                                nullptr, 0, answer, sizeof answer, &returned)) {
    return false;
  }
  geometry->Cylinders = static_cast<std::int64_t>(GetU64(answer));
  geometry->MediaType = GetU32(answer + 8);
  geometry->TracksPerCylinder = GetU32(answer + 12);
  geometry->SectorsPerTrack = GetU32(answer + 16);
  geometry->BytesPerSector = GetU32(answer + 20);
  return true;
}

void EncodeDriveParams(const DiskGeometry& geometry, DriveParams* params) {
  std::uint8_t* p = params->bytes;
  const std::uint32_t cylinders =
      static_cast<std::uint32_t>(geometry.Cylinders);
  PutU16(p, static_cast<std::uint16_t>(kDriveParamsSize));
  PutU16(p + 2, IsRemovableMediaType(geometry.MediaType) ? kRemovableMedia : 0);
  PutU32(p + 4, cylinders);
  PutU32(p + 8, geometry.TracksPerCylinder);
  PutU32(p + 12, geometry.SectorsPerTrack);
  PutU64(p + 16, std::uint64_t{cylinders} * geometry.TracksPerCylinder *
                     geometry.SectorsPerTrack);
  PutU16(p + 24, static_cast<std::uint16_t>(geometry.BytesPerSector));
  PutU32(p + 26, 0);
}

bool GetDriveParams(Platform& platform, std::uint8_t drive,
                    DriveParams* params) {
  if (!g_platform_is_nt) return false;
  DiskGeometry geometry;
  if (!GetDriveGeometry(platform, drive, &geometry)) return false;
  EncodeDriveParams(geometry, params);
  return true;
}

}  // namespace dorvane
