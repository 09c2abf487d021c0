// Which Windows physical drive carries a given SCSI port and address.
#pragma once

#include <cstdint>
#include <string_view>

#include "int13ext/int13ext.h"
#include "platform/platform.h"

namespace dorvane {

// Walks drives 0 to 255 and answers the first whose port equals port and
// whose address text (Lun, TargetId, PathId as two upper-case hexadecimal
// digits each) equals address exactly; *drive_path then holds its
// "\\.\PhysicalDriveN". On false *drive_path is untouched.
bool FindPhysicalDrive(Platform& platform, std::uint8_t port,
                       std::string_view address, DrivePath* drive_path);

}  // namespace dorvane
