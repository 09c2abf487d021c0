// Probing Windows' physical drives: whether the platform is NT-family, a
// drive's geometry, and the drive described as the 30-byte drive parameter
// table of the BIOS Enhanced Disk Drive Services (INT 13h, function 48h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace dorvane {

// DISK_GEOMETRY, the answer of IOCTL_DISK_GET_DRIVE_GEOMETRY (24 bytes).
struct DiskGeometry {
  std::int64_t Cylinders = 0;
  std::uint32_t MediaType = 0;
  std::uint32_t TracksPerCylinder = 0;
  std::uint32_t SectorsPerTrack = 0;
  std::uint32_t BytesPerSector = 0;
};
constexpr std::size_t kDiskGeometrySize = 24;

// The drive parameter table, little-endian and packed:
// ParamsSize u16 @0, InfoFlags u16 @2, CylinderCount u32 @4, HeadCount u32 @8,
// TrackSectors u32 @12, TotalSectors u64 @16, SectorSize u16 @24,
// ConfigParams u32 @26.
constexpr std::size_t kDriveParamsSize = 30;
struct DriveParams {
  std::uint8_t bytes[kDriveParamsSize];
};

// The drive path "\\.\PhysicalDriveN" in a fixed buffer.
struct DrivePath {
  char text[24];
};
DrivePath FormatDrivePath(std::uint8_t drive);

bool IsWinNT(Platform& platform);

// The start-up step: keeps IsWinNT's answer as the process-wide platform
// flag that GetDriveParams reads.
void InitializePlatformFlag(Platform& platform);

// True when the drive opened (with no access rights asked for) and answered
// the geometry query; the record is then filled.
bool GetDriveGeometry(Platform& platform, std::uint8_t drive,
                      DiskGeometry* geometry);

// True on NT-family platforms when the drive answered the geometry query;
// the record is then filled completely, otherwise left untouched.
bool GetDriveParams(Platform& platform, std::uint8_t drive,
                    DriveParams* params);

// The table for a geometry.
void EncodeDriveParams(const DiskGeometry& geometry, DriveParams* params);

}  // namespace dorvane
